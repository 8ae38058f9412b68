// Calls into quirecommon the way the toolkit's Java binding does: an
// exception's code and messages come back as Java strings built from the
// UCS-2 form, and a native exception turns into a Java one.
public class QuireJniTest {
    static class QuireException extends Exception {
        final int code;
        final String messageJP;

        QuireException(int code, String message, String messageJP) {
            super(message);
            this.code = code;
            this.messageJP = messageJP;
        }
    }

    // { code, English message, Japanese message } of INVALID_PAGE_NUMBER.
    static native Object[] describeInvalidPageNumber();

    static native void throwVelException(int code) throws QuireException;

    static void expect(boolean ok, String what) {
        if (!ok) {
            System.err.println("FAILED: " + what);
            System.exit(1);
        }
    }

    public static void main(String[] args) {
        System.loadLibrary("quire_jni");
        Object[] described = describeInvalidPageNumber();
        expect(((Integer) described[0]) == 5006, "code " + described[0]);
        expect("Invalid page number".equals(described[1]), "message " + described[1]);
        expect("\u30da\u30fc\u30b8\u306e\u6307\u5b9a\u304c\u9593\u9055\u3063\u3066\u3044\u307e\u3059"
                .equals(described[2]), "Japanese message " + described[2]);

        try {
            throwVelException(3104);
            expect(false, "no exception thrown");
        } catch (QuireException e) {
            expect(e.code == 3104, "thrown code " + e.code);
            expect("Printing is not allowed.".equals(e.getMessage()), "thrown message");
            expect("\u5370\u5237\u304c\u8a31\u53ef\u3055\u308c\u3066\u3044\u307e\u305b\u3093"
                    .equals(e.messageJP), "thrown Japanese message " + e.messageJP);
        }
        System.out.println("1 passed, 0 failed");
    }
}
