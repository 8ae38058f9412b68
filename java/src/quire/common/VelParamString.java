package quire.common;

/**
 * Text held by the library at once as UCS-2 and as multibyte bytes in the encoding that the
 * environment names ({@code VEL30_MBCS_ENCODING}, else {@code LANG}, else WINDOWS31J).
 *
 * <p>The object holds a handle in the binding's registry of native strings. {@link #share()} gives
 * another object on the same handle; each object releases its reference once, by {@link #close()}
 * or, left open, after it has been collected.
 *
 * <p>Threads: distinct objects are independent; {@code close()} must not overlap another call on
 * the same object.
 */
public final class VelParamString implements AutoCloseable {
    static {
        NativeLibrary.load();
    }

    private final int handle;
    private final NativeRef ref;

    /**
     * Assigns {@code text} as the UCS-2 form; the narrow form is its conversion in the encoding
     * chosen now, with "?" for what that encoding cannot hold.
     *
     * @throws IllegalArgumentException when {@code text} holds U+0000, where the library's text
     *     ends
     */
    public VelParamString(String text) {
        this(create(NativeLibrary.checkText(text, "text")));
    }

    private VelParamString(int handle) {
        this.handle = handle;
        ref = new NativeRef(this, releaser(handle));
    }

    private static Runnable releaser(int handle) {
        return () -> release(handle);
    }

    /** @return the UCS-2 form: the text given to the constructor */
    @Override
    public String toString() {
        ref.checkOpen();
        return wide(handle);
    }

    /** @return the narrow form: the bytes in the multibyte encoding chosen at construction */
    public byte[] getBytes() {
        ref.checkOpen();
        return narrow(handle);
    }

    /** @return the number of UCS-2 units, or of narrow bytes when the wide form is empty */
    public int length() {
        ref.checkOpen();
        return length(handle);
    }

    /** @return another object holding its own reference to the same native string */
    public VelParamString share() {
        ref.checkOpen();
        addref(handle);
        return new VelParamString(handle);
    }

    /** Releases this object's reference; a second call does nothing. */
    @Override
    public void close() {
        ref.close();
    }

    // Instance methods: the reference to this object that a native call holds keeps the Cleaner
    // from releasing the handle while the call runs.
    private native String wide(int handle);

    private native byte[] narrow(int handle);

    private native int length(int handle);

    private static native int create(String text);

    private static native void addref(int handle);

    private static native void release(int handle);
}
