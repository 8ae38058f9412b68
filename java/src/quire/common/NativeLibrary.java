package quire.common;

import java.lang.ref.Cleaner;
import java.util.Objects;

/** The JNI library, loaded once from {@code java.library.path}, and what every class shares. */
final class NativeLibrary {
    static {
        System.loadLibrary("quirecommon_jni");
    }

    /** One thread for the whole binding releases what collected objects still held. */
    static final Cleaner CLEANER = Cleaner.create();

    private NativeLibrary() {}

    /** Loads the library before a class's first native call. */
    static void load() {}

    /**
     * Text for the library, which keeps it up to the first U+0000: a path cut there would name
     * another file, so such text is refused.
     */
    static String checkText(String text, String what) {
        if (Objects.requireNonNull(text, what).indexOf('\0') >= 0) {
            throw new IllegalArgumentException(what + " holds U+0000");
        }
        return text;
    }

    /** Strings in the binding's registry plus native copies of stream parameters, for the tests. */
    static native int liveObjects();
}
