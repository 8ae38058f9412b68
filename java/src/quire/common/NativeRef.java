package quire.common;

import java.lang.ref.Cleaner;

/**
 * One Java object's hold on a native object, released once: by {@code close()}, or by the Cleaner
 * once the object has been collected unclosed.
 */
final class NativeRef {
    private final Cleaner.Cleanable cleanable;
    private boolean closed;

    /** {@code release} must not refer to {@code owner}, or the owner is never collected. */
    NativeRef(Object owner, Runnable release) {
        cleanable = NativeLibrary.CLEANER.register(owner, release);
    }

    void checkOpen() {
        if (closed) {
            throw new IllegalStateException("closed");
        }
    }

    void close() {
        closed = true;
        cleanable.clean();
    }
}
