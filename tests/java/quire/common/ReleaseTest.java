package quire.common;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.InputStream;
import java.io.OutputStream;
import java.lang.ref.WeakReference;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class ReleaseTest {
    @TempDir Path dir;

    @Test
    void closeReleasesEachShareOnce() throws Exception {
        int before = NativeLibrary.liveObjects();
        VelParamString text = new VelParamString("text");
        VelParamString textCopy = text.share();
        VelParamInput in = new VelParamInput("in", InputStream.nullInputStream());
        VelParamOutput out = new VelParamOutput("out", OutputStream.nullOutputStream());
        List<AutoCloseable> rest = List.of(textCopy, in, in.share(), out, out.share());
        assertEquals(before + 5, NativeLibrary.liveObjects());  // one string, four stream copies
        text.close();
        text.close();
        assertThrows(IllegalStateException.class, text::toString);
        assertEquals("text", textCopy.toString());  // the share's own reference holds it
        for (AutoCloseable c : rest) {
            c.close();
        }
        assertEquals(before, NativeLibrary.liveObjects());
    }

    @Test
    void theCleanerReleasesWhatWasLeftOpen() throws Exception {
        int before = NativeLibrary.liveObjects();
        Path file = dir.resolve("flagged");
        WeakReference<InputStream> source = leaveOpen(file);
        assertTrue(NativeLibrary.liveObjects() > before && Files.exists(file));
        for (int i = 0; i < 1000 && (NativeLibrary.liveObjects() != before || source.get() != null
                || Files.exists(file)); i++) {
            System.gc();
            Thread.sleep(10);
        }
        assertEquals(before, NativeLibrary.liveObjects());
        assertNull(source.get(), "the Java stream's global reference is gone");
        assertFalse(Files.exists(file), "the flagged output went with its last share");
    }

    /** Objects and shares left open and reachable from nothing once this returns. */
    private static WeakReference<InputStream> leaveOpen(Path file) {
        InputStream stream = new ByteArrayInputStream(new byte[8]);
        new VelParamInput("in", stream).share();
        new VelParamString("left open").share();
        new VelParamOutput(file.toString()).share();
        return new WeakReference<>(stream);
    }

    @Test
    void eightThreadsWriteThroughSharesOfOneOutput() throws Exception {
        Path file = dir.resolve("shared");
        int threads = 8;
        int rounds = 250;
        int chunk = 1000;
        ExecutorService pool = Executors.newFixedThreadPool(threads);
        try (VelParamOutput out = new VelParamOutput(file.toString())) {
            out.setRemoveFlag(false);
            List<Future<?>> done = new ArrayList<>();
            CountDownLatch start = new CountDownLatch(threads);
            for (int t = 0; t < threads; t++) {
                byte[] bytes = new byte[chunk];
                Arrays.fill(bytes, (byte) t);
                done.add(pool.submit(() -> {
                    try (VelParamOutput mine = out.share()) {
                        start.countDown();
                        start.await();  // all at once, for writes that overlap
                        for (int r = 0; r < rounds; r++) {
                            assertEquals(chunk, mine.write(bytes, 0, chunk));
                        }
                    }
                    return null;
                }));
            }
            for (Future<?> f : done) {
                f.get();
            }
        } finally {
            pool.shutdown();
        }
        byte[] written = Files.readAllBytes(file);
        assertEquals(threads * rounds * chunk, written.length);
        int[] chunks = new int[threads];
        for (int at = 0; at < written.length; at += chunk) {
            byte[] expected = new byte[chunk];
            Arrays.fill(expected, written[at]);
            assertArrayEquals(expected, Arrays.copyOfRange(written, at, at + chunk), "whole");
            chunks[written[at]]++;
        }
        int[] each = new int[threads];
        Arrays.fill(each, rounds);
        assertArrayEquals(each, chunks);
    }
}
