package quire.common;

/** The natives of the tests' own JNI library, built on the binding's JNI helpers. */
final class TestHooks {
    static {
        System.loadLibrary("quirecommon_jni_test");
    }

    private TestHooks() {}

    /**
     * Looks up {@code type} and, when {@code member} is given, its method or field, through the
     * helpers: a failed step throws its JAVA_INTERFACE_ code.
     */
    static native void lookUp(String type, String member, String signature, boolean field)
            throws VelException;

    /** Copies {@code in} to {@code out} on a native thread, through their C++ streams. */
    static native void copyOnNativeThread(VelParamInput in, VelParamOutput out);
}
