package quire.common;

import java.io.InputStream;
import java.util.Objects;

/**
 * A source of bytes: a file that the library opens by path, or a Java stream labelled with a path.
 *
 * <p>The object holds a native copy of the library's input parameter. {@link #share()} gives
 * another object on a copy that shares the stream and its position; reads and seeks through the
 * shares of one input are serialised, so shares may be used from several threads. Each object
 * releases its copy once, by {@link #close()} or, left open, after it has been collected; the
 * file that the library opened is closed with the last copy.
 *
 * <p>A Java stream is read by the native side whatever thread uses the input, and is never closed
 * by the library. An {@code IOException} that it throws makes the read give -1; any other
 * exception reaches the caller. It cannot be moved: {@link #seek} only tells its position.
 */
public final class VelParamInput implements AutoCloseable {
    static {
        NativeLibrary.load();
    }

    private final long address;
    private final StreamShares shares;
    private final NativeRef ref;

    /**
     * Opens the file named by the narrow form of {@code path}, converted in the encoding chosen
     * now. A file that does not open throws nothing: {@link #canRead()} is false.
     */
    public VelParamInput(String path) {
        this(open(NativeLibrary.checkText(path, "path")), new StreamShares(VelParamInput::release));
    }

    /**
     * @param path a label, neither opened nor tested
     * @param in read by the library, never closed by it
     */
    public VelParamInput(String path, InputStream in) {
        this(wrap(NativeLibrary.checkText(path, "path"), Objects.requireNonNull(in, "in")),
                new StreamShares(VelParamInput::release));
    }

    private VelParamInput(long address, StreamShares shares) {
        this.address = address;
        this.shares = shares;
        ref = new NativeRef(this, shares.releaser(address));
    }

    /** @return whether the file opened, or true on a Java stream */
    public boolean canRead() {
        ref.checkOpen();
        return canRead(address);
    }

    /**
     * Reads up to {@code len} bytes into {@code b} from {@code off}.
     *
     * @return the number of bytes read, or -1 at the end, for a {@code len} of 0, on a file that
     *     did not open or when the stream fails
     */
    public int read(byte[] b, int off, int len) {
        Objects.checkFromIndexSize(off, len, b.length);
        synchronized (shares) {
            ref.checkOpen();
            return read(address, b, off, len);
        }
    }

    /**
     * Moves the read position, unless {@code offset} is 0 and {@code whence} 1, which only tells
     * it.
     *
     * @param whence 0 from the start, 1 from the current position, 2 from the end; any other value
     *     moves nothing
     * @return the position afterwards, or -1 when the stream cannot be moved there
     */
    public long seek(long offset, int whence) {
        synchronized (shares) {
            ref.checkOpen();
            return seek(address, offset, whence);
        }
    }

    /** @return another object on a copy of this input: the same stream at the same position */
    public VelParamInput share() {
        synchronized (shares) {
            ref.checkOpen();
            VelParamInput copy = new VelParamInput(copy(address), shares);
            shares.add();
            return copy;
        }
    }

    /** Releases this object's copy; a second call does nothing. */
    @Override
    public void close() {
        ref.close();
    }

    // Instance methods: the reference to this object that a native call holds keeps the Cleaner
    // from releasing the copy while the call runs.
    private native boolean canRead(long address);

    private native int read(long address, byte[] b, int off, int len);

    private native long seek(long address, long offset, int whence);

    private static native long open(String path);

    private static native long wrap(String path, InputStream in);

    private static native long copy(long address);

    private static native void release(long address, boolean last);
}
