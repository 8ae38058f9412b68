package quire.common;

import static java.nio.charset.StandardCharsets.US_ASCII;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Random;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.atomic.AtomicInteger;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class StreamsTest {
    @TempDir Path dir;

    private static final byte[] HELLO = "hello".getBytes(US_ASCII);

    /** One read of count bytes: the bytes as text, or "-1". */
    private static String read(VelParamInput in, int count) {
        byte[] bytes = new byte[count];
        int got = in.read(bytes, 0, count);
        return got < 0 ? String.valueOf(got) : new String(bytes, 0, got, US_ASCII);
    }

    @Test
    void anInputOnAFileReadsAndSeeksAndItsSharesShareOnePosition() throws IOException {
        Path file = Files.writeString(dir.resolve("ten"), "0123456789");
        try (VelParamInput in = new VelParamInput(file.toString());
                VelParamInput copy = in.share()) {
            assertTrue(in.canRead());
            String steps = String.join(" ", read(in, 4), read(copy, 4), read(in, 100),
                    read(copy, 100), "" + in.seek(0, 1), "" + copy.seek(-2, 2), read(in, 100),
                    "" + in.seek(3, 0), "" + in.seek(5, 7), read(in, 0), read(copy, 1));
            assertEquals("0123 4567 89 -1 10 8 89 3 3 -1 3", steps);
        }
        try (VelParamInput missing = new VelParamInput(dir.resolve("none").toString())) {
            assertFalse(missing.canRead());
            assertEquals("-1 -1", read(missing, 4) + " " + missing.seek(0, 1));
        }
    }

    @Test
    void anOutputOnAFileGoesWithItsLastShareWhileFlagged() throws IOException {
        Path file = dir.resolve("out");
        try (VelParamOutput out = new VelParamOutput(file.toString())) {
            assertTrue(out.canWrite());
            assertEquals(5, out.write(HELLO, 0, 5));
            assertEquals(-1, out.write(HELLO, 0, 0));
            try (VelParamOutput copy = out.share()) {
                copy.setRemoveFlag(false);  // for every share
            }
        }
        assertEquals("hello", Files.readString(file));

        VelParamOutput first = new VelParamOutput(file.toString());
        VelParamOutput second = first.share();
        assertEquals(0, Files.size(file));
        first.close();
        assertTrue(Files.exists(file));  // where a C++ copy would already have removed it
        assertEquals(5, second.write(HELLO, 0, 5));
        second.close();
        assertFalse(Files.exists(file));
    }

    @Test
    void javaStreamsAreReadAndWrittenAndNeverClosed() {
        AtomicInteger closes = new AtomicInteger();
        String text = "0123456789".repeat(10);
        InputStream source = new ByteArrayInputStream(text.getBytes(US_ASCII)) {
            @Override
            public int read(byte[] b, int off, int len) {
                return super.read(b, off, Math.min(len, 1));  // a call into Java per byte
            }

            @Override
            public void close() {
                closes.incrementAndGet();
            }
        };
        ByteArrayOutputStream sink = new ByteArrayOutputStream() {
            @Override
            public void close() {
                closes.incrementAndGet();
            }
        };
        try (VelParamInput in = new VelParamInput("in", source);
                VelParamOutput out = new VelParamOutput("out", sink)) {
            assertTrue(in.canRead() && out.canWrite());
            byte[] bytes = new byte[60];
            for (int got; (got = in.read(bytes, 0, bytes.length)) > 0; ) {
                assertEquals(got, out.write(bytes, 0, got));
            }
            assertEquals(100, in.seek(0, 1));  // told, never moved
            assertEquals(-1, in.seek(0, 0));
        }
        assertEquals(text, sink.toString(US_ASCII));
        assertEquals(0, closes.get());
    }

    @Test
    void anIOExceptionGivesMinusOneAndAnyOtherReachesTheCaller() {
        InputStream broken = new InputStream() {
            @Override
            public int read() throws IOException {
                throw new IOException("broken");
            }
        };
        OutputStream full = new OutputStream() {
            @Override
            public void write(int b) throws IOException {
                throw new IOException("full");
            }
        };
        InputStream buggy = new InputStream() {
            @Override
            public int read() {
                throw new IllegalStateException("bug");
            }
        };
        try (VelParamInput in = new VelParamInput("broken", broken);
                VelParamOutput out = new VelParamOutput("full", full);
                VelParamInput bug = new VelParamInput("bug", buggy)) {
            assertEquals("-1", read(in, 4));
            assertEquals(-1, out.write(HELLO, 0, 5));
            assertThrows(IllegalStateException.class, () -> read(bug, 4));
            assertEquals("-1", read(in, 4));  // nothing left pending by the calls before
        }
    }

    @Test
    void aNativeThreadReadsAndWritesJavaStreams() {
        byte[] data = new byte[300];
        new Random(25).nextBytes(data);
        Set<Thread> writers = ConcurrentHashMap.newKeySet();
        AtomicInteger flushes = new AtomicInteger();
        ByteArrayOutputStream sink = new ByteArrayOutputStream() {
            @Override
            public synchronized void write(byte[] b, int off, int len) {
                writers.add(Thread.currentThread());
                super.write(b, off, len);
            }

            @Override
            public void flush() {
                flushes.incrementAndGet();
            }
        };
        try (VelParamInput in = new VelParamInput("in", new ByteArrayInputStream(data));
                VelParamOutput out = new VelParamOutput("out", sink)) {
            TestHooks.copyOnNativeThread(in, out);
        }
        assertArrayEquals(data, sink.toByteArray());
        assertEquals(1, flushes.get());
        assertFalse(writers.isEmpty() || writers.contains(Thread.currentThread()));
    }
}
