package quire.common;

/**
 * An error code of {@link VelErrorCode} with an English and a Japanese message.
 *
 * <p>Built from a code, it takes both messages from the library's bilingual catalogue (a code
 * without a row of its own gets "Other errors"); built from a code and a text, it carries that
 * text in both places. {@link #getMessage()} gives the English message.
 */
public class VelException extends Exception {
    private static final long serialVersionUID = 1L;

    static {
        NativeLibrary.load();
    }

    private final int code;
    private final String messageJP;

    /** @param code a code of {@link VelErrorCode}, or any other value, kept as given */
    public VelException(int code) {
        this(code, message(code, false), message(code, true));
    }

    /**
     * @param code the error code, kept as given
     * @param text both messages
     */
    public VelException(int code, String text) {
        this(code, text, text);
    }

    /** What the JNI library builds a thrown VelException with. */
    private VelException(int code, String message, String messageJP) {
        super(message);
        this.code = code;
        this.messageJP = messageJP;
    }

    public int getErrorCode() {
        return code;
    }

    /** @return the Japanese message, taken from the library's UCS-2 form of it */
    public String getMessageJP() {
        return messageJP;
    }

    private static native String message(int code, boolean japanese);
}
