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

    static native void throwVelException(int code) throws QuireException;

    static void expect(boolean ok, String what) {
        if (!ok) {
            System.err.println("FAILED: " + what);
            System.exit(1);
        }
    }

    public static void main(String[] args) {
        System.loadLibrary("quire_jni");
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
