import quire.common.VelParamString;

/**
 * The time of a VelParamString round trip from Java (made from a String, read back with
 * toString(), closed) against {@code new String(chars)}, the floor of any copy into a Java string,
 * in the same run. Prints nanoseconds per operation, the median of several rounds.
 */
public class StringRoundTrip {
    private static final int ROUNDS = 9;
    private static int sink;

    interface Operation {
        int run(String text, char[] chars);
    }

    static double nanosPerOp(Operation op, String text, int count) {
        char[] chars = text.toCharArray();
        double[] rounds = new double[ROUNDS];
        for (int r = 0; r < ROUNDS; r++) {
            long start = System.nanoTime();
            for (int i = 0; i < count; i++) {
                sink += op.run(text, chars);
            }
            rounds[r] = (System.nanoTime() - start) / (double) count;
        }
        java.util.Arrays.sort(rounds);
        return rounds[ROUNDS / 2];
    }

    public static void main(String[] args) {
        int count = args.length > 0 ? Integer.parseInt(args[0]) : 200_000;
        Operation roundTrip = (text, chars) -> {
            try (VelParamString s = new VelParamString(text)) {
                return s.toString().length();
            }
        };
        Operation copy = (text, chars) -> new String(chars).length();
        String[][] texts = {{"ASCII, 16 chars", "report-2026.pdf!"},
            {"Japanese, 16 chars", "日本語のテキスト、漢字とカナです"},
            {"ASCII, 256 chars", "0123456789abcdef".repeat(16)}};
        System.out.printf("encoding: %s%n", System.getenv().getOrDefault("VEL30_MBCS_ENCODING",
                "(VEL30_MBCS_ENCODING unset; LANG=" + System.getenv("LANG") + ")"));
        for (String[] t : texts) {
            nanosPerOp(roundTrip, t[1], count);  // warm-up of both
            nanosPerOp(copy, t[1], count);
            double native_ = nanosPerOp(roundTrip, t[1], count);
            double java = nanosPerOp(copy, t[1], count);
            System.out.printf("%-20s VelParamString round trip %8.1f ns  new String(chars) %6.1f ns"
                    + "  ratio %5.1f%n", t[0], native_, java, native_ / java);
        }
        if (sink == 42) {
            System.out.println();
        }
    }
}
