package quire.common;

import static java.nio.charset.StandardCharsets.US_ASCII;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.nio.charset.Charset;
import java.util.Map;
import org.junit.jupiter.api.Test;

/** Run once for each encoding, named by VEL30_MBCS_ENCODING. */
class TextTest {
    /** The Java charsets that give the same bytes as the library for text both can hold. */
    private static final Map<String, String> CHARSETS = Map.of("WINDOWS31J", "windows-31j",
            "EUC-JP", "EUC-JP", "ISO-2022-JP", "ISO-2022-JP", "UTF-8", "UTF-8",
            "ChineseGBK", "GBK");

    @Test
    void textKeepsItsUcs2FormAndGetsTheBytesOfTheEncodingChosen() {
        String encoding = System.getenv("VEL30_MBCS_ENCODING");
        assertNotNull(CHARSETS.get(encoding), "VEL30_MBCS_ENCODING is one of " + CHARSETS.keySet());
        Charset charset = Charset.forName(CHARSETS.get(encoding));
        boolean utf8 = encoding.equals("UTF-8");
        String[][] cases = {
            // text, its narrow form (null: as the Java charset writes it)
            {"", null},
            {"report-2026.pdf", null},
            {"日本語のテキスト、漢字とカナ", null},
            {"a\uD83D\uDE00b", utf8 ? null : "a?b"},  // beyond the BMP: a surrogate pair
            {"a\u0E01b", utf8 ? null : "a?b"},  // Thai: held by UTF-8 alone
            {"x\uD800y", "x?y"},  // a lone surrogate
        };
        for (String[] c : cases) {
            try (VelParamString text = new VelParamString(c[0]);
                    VelParamString copy = text.share()) {
                byte[] narrow = c[1] == null ? c[0].getBytes(charset) : c[1].getBytes(US_ASCII);
                assertEquals(c[0], copy.toString());
                assertArrayEquals(narrow, copy.getBytes(), c[0]);
                assertEquals(c[0].length(), copy.length(), c[0]);
            }
        }
        assertThrows(IllegalArgumentException.class, () -> new VelParamString("a\0b"));
    }
}
