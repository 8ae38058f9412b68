package quire.common;

import java.io.OutputStream;
import java.util.Objects;

/**
 * A destination for bytes: a file that the library creates by path, or a Java stream labelled with
 * a path.
 *
 * <p>The object holds a native copy of the library's output parameter. {@link #share()} gives
 * another object on a copy that shares the stream and the remove flag; writes through the shares
 * of one output are serialised, so shares may be used from several threads. Each object releases
 * its copy once, by {@link #close()} or, left open, after it has been collected.
 *
 * <p>A file that the library created is removed when the last share goes while the remove flag,
 * set from the start, is still set; {@code setRemoveFlag(false)} keeps it. (A C++ output removes
 * it with the first copy destroyed; here the shares that go earlier leave it in place.)
 *
 * <p>A Java stream is written by the native side whatever thread uses the output, and is never
 * closed by the library; a flush from the native side reaches its {@code flush()}. Once it has
 * thrown an {@code IOException}, writes through the output give -1; any other exception reaches
 * the caller.
 */
public final class VelParamOutput implements AutoCloseable {
    static {
        NativeLibrary.load();
    }

    private final long address;
    private final StreamShares shares;
    private final NativeRef ref;

    /**
     * Creates, or empties, the file named by the narrow form of {@code path}, converted in the
     * encoding chosen now. A file that cannot be created throws nothing: {@link #canWrite()} is
     * false.
     */
    public VelParamOutput(String path) {
        this(open(NativeLibrary.checkText(path, "path")),
                new StreamShares(VelParamOutput::release));
    }

    /**
     * @param path a label, neither opened nor tested
     * @param out written by the library, never closed by it
     */
    public VelParamOutput(String path, OutputStream out) {
        this(wrap(NativeLibrary.checkText(path, "path"), Objects.requireNonNull(out, "out")),
                new StreamShares(VelParamOutput::release));
    }

    private VelParamOutput(long address, StreamShares shares) {
        this.address = address;
        this.shares = shares;
        ref = new NativeRef(this, shares.releaser(address));
    }

    /** @return whether the file was created, or true on a Java stream */
    public boolean canWrite() {
        ref.checkOpen();
        return canWrite(address);
    }

    /**
     * Writes {@code len} bytes of {@code b} from {@code off}. Nothing is flushed here: a file gets
     * the bytes at the latest when its last share goes.
     *
     * @return {@code len}, or -1 for a {@code len} of 0 or when the stream fails
     */
    public int write(byte[] b, int off, int len) {
        Objects.checkFromIndexSize(off, len, b.length);
        synchronized (shares) {
            ref.checkOpen();
            return write(address, b, off, len);
        }
    }

    /** @param remove whether the file goes with the last share; shared by every share */
    public void setRemoveFlag(boolean remove) {
        ref.checkOpen();
        setRemoveFlag(address, remove);
    }

    /** @return another object on a copy of this output: the same stream and remove flag */
    public VelParamOutput share() {
        synchronized (shares) {
            ref.checkOpen();
            VelParamOutput copy = new VelParamOutput(copy(address), shares);
            shares.add();
            return copy;
        }
    }

    /**
     * Releases this object's copy; a second call does nothing. The last share closes the file,
     * and removes it while the remove flag is set.
     */
    @Override
    public void close() {
        ref.close();
    }

    // Instance methods: the reference to this object that a native call holds keeps the Cleaner
    // from releasing the copy while the call runs.
    private native boolean canWrite(long address);

    private native int write(long address, byte[] b, int off, int len);

    private native void setRemoveFlag(long address, boolean remove);

    private static native long open(String path);

    private static native long wrap(String path, OutputStream out);

    private static native long copy(long address);

    private static native void release(long address, boolean last);
}
