package quire.common;

import static java.nio.charset.StandardCharsets.ISO_8859_1;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.lang.reflect.Field;
import java.nio.charset.Charset;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.function.Executable;

class ErrorsTest {
    /** One code of the library's list; message and messageJP are null for a code without a row. */
    record Entry(String name, int value, String message, String messageJP) {}

    private static final String LITERAL = "\"(?:[^\"\\\\]|\\\\.)*\"";
    private static final Pattern ENTRY = Pattern.compile(
            "^QUIRE_ERROR_(?:ROW|CODE)\\((\\w+), *(\\d+)(?:, *(" + LITERAL + "),\\s*((?:" + LITERAL
                    + "\\s*)+))?\\)",
            Pattern.MULTILINE);

    /** The list that the C++ library is built from: errors/ErrorCodes.def. */
    static List<Entry> catalogue() throws IOException {
        String list = Files.readString(Path.of(System.getProperty("quire.errorCodes")), ISO_8859_1);
        List<Entry> entries = new ArrayList<>();
        for (Matcher m = ENTRY.matcher(list); m.find(); ) {
            entries.add(new Entry(m.group(1), Integer.parseInt(m.group(2)),
                    m.group(3) == null ? null : text(m.group(3), ISO_8859_1),
                    m.group(4) == null ? null : text(m.group(4), Charset.forName("windows-31j"))));
        }
        return entries;
    }

    /** C string literals, one after another, with \xNN escapes: their bytes read in charset. */
    private static String text(String literals, Charset charset) {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        Matcher m = Pattern.compile(LITERAL).matcher(literals);
        while (m.find()) {
            String body = m.group().substring(1, m.group().length() - 1);
            for (int i = 0; i < body.length(); i++) {
                if (body.startsWith("\\x", i)) {
                    bytes.write(Integer.parseInt(body.substring(i + 2, i + 4), 16));
                    i += 3;
                } else {
                    bytes.write(body.charAt(body.charAt(i) == '\\' ? ++i : i));
                }
            }
        }
        return bytes.toString(charset);
    }

    @Test
    void everyCodeCarriesTheCataloguesMessages() throws Exception {
        List<Entry> entries = catalogue();
        Map<String, Integer> listed = new TreeMap<>();
        Map<String, Integer> generated = new TreeMap<>();
        Entry fallback = null;
        for (Entry e : entries) {
            listed.put(e.name(), e.value());
            if (e.name().equals("OTHER_ERRORS")) {
                fallback = e;  // a code without a row gets the texts of this one
            }
        }
        for (Field f : VelErrorCode.class.getFields()) {
            generated.put(f.getName(), f.getInt(null));
        }
        assertEquals(listed, generated);
        List<Entry> cases = new ArrayList<>(entries);
        for (int value : new int[] {-1, 5001, Integer.MIN_VALUE, Integer.MAX_VALUE}) {
            cases.add(new Entry("not a code", value, null, null));
        }
        for (Entry e : cases) {
            VelException error = new VelException(e.value());
            Entry texts = e.message() != null ? e : fallback;
            assertEquals(e.value(), error.getErrorCode(), e.name());
            assertEquals(texts.message(), error.getMessage(), e.name());
            assertEquals(texts.messageJP(), error.getMessageJP(), e.name());
        }
    }

    @Test
    void aFailedJniStepThrowsItsCode() throws Throwable {
        String exception = "quire/common/VelException";
        String other = new VelException(VelErrorCode.OTHER_ERRORS).getMessageJP();
        Object[][] steps = {
            // class, member, signature, field?, the code (0: found)
            {"quire/common/NoSuchClass", null, null, false,
                VelErrorCode.JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS},
            {exception, "noSuchMethod", "()V", false,
                VelErrorCode.JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD},
            {exception, "code", "J", true, VelErrorCode.JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD},
            {exception, "getErrorCode", "()I", false, 0},
            {exception, "code", "I", true, 0},
        };
        for (Object[] s : steps) {
            Executable lookUp = () -> TestHooks.lookUp((String) s[0], (String) s[1],
                    (String) s[2], (boolean) s[3]);
            if ((int) s[4] == 0) {
                lookUp.execute();
                continue;
            }
            VelException thrown = assertThrows(VelException.class, lookUp);
            assertEquals(s[4], thrown.getErrorCode(), (String) s[1]);
            assertEquals(other, thrown.getMessageJP());
        }
    }
}
