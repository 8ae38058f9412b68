package quire.common;

/**
 * What the shares of one stream parameter have in common: the lock that serialises their stream,
 * and the number still open, so that the last one to go is known.
 */
final class StreamShares {
    /** Releases the native copy at {@code address}; {@code last} when no other share is open. */
    interface Release {
        void release(long address, boolean last);
    }

    private final Release release;
    private int open = 1;

    StreamShares(Release release) {
        this.release = release;
    }

    /** Counts one more open share; the caller holds this object's lock. */
    void add() {
        open++;
    }

    /** What releases the share at {@code address}, for its NativeRef. */
    Runnable releaser(long address) {
        return () -> {
            synchronized (this) {
                release.release(address, --open == 0);
            }
        };
    }
}
