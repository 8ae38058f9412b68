import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import quire.common.VelErrorCode;
import quire.common.VelException;
import quire.common.VelParamInput;
import quire.common.VelParamOutput;
import quire.common.VelParamString;

/** A program on the installed jar and JNI library: every type made, used and closed. */
public class Consumer {
    static void check(boolean ok, String what) {
        if (!ok) {
            throw new AssertionError(what);
        }
    }

    public static void main(String[] args) throws Exception {
        Path file = Path.of(args[0], "consumer.bin");
        byte[] hello = "hello".getBytes(StandardCharsets.US_ASCII);

        VelException error = new VelException(VelErrorCode.INVALID_PAGE_NUMBER);
        check(error.getErrorCode() == 5006 && error.getMessage().equals("Invalid page number")
                && error.getMessageJP().equals("ページの指定が間違っています"), "exception");

        try (VelParamString text = new VelParamString("日本語")) {
            check(text.toString().equals("日本語") && text.length() == 3, "string");
        }
        try (VelParamOutput out = new VelParamOutput(file.toString())) {
            check(out.canWrite() && out.write(hello, 0, 5) == 5, "output");
            out.setRemoveFlag(false);
        }
        byte[] bytes = new byte[8];
        try (VelParamInput in = new VelParamInput(file.toString())) {
            check(in.canRead() && in.read(bytes, 0, 8) == 5 && in.seek(1, 0) == 1, "input");
        }
        ByteArrayOutputStream sink = new ByteArrayOutputStream();
        try (VelParamInput in = new VelParamInput("in", new ByteArrayInputStream(hello));
                VelParamOutput out = new VelParamOutput("out", sink)) {
            int got = in.read(bytes, 0, 8);
            check(got == 5 && out.write(bytes, 0, got) == 5, "Java streams");
        }
        check(sink.toString(StandardCharsets.US_ASCII).equals("hello"), "Java stream written");
        Files.delete(file);
        System.out.println("every type made, used and closed");
    }
}
