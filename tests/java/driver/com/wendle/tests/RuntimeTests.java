package com.wendle.tests;

import com.wendle.runtime.SplashConfig;
import com.wendle.runtime.WinLauncher;
import com.wendle.runtime.Wendle;

import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Enumeration;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;
import java.util.jar.JarEntry;
import java.util.jar.JarFile;

/**
 * Scenarios for the Java side of the launcher. Usage:
 * RuntimeTests SCENARIO RUNTIME_JAR APPS_JAR WORK_DIR
 *
 * Most scenarios start WinLauncher in a child JVM with the argument array and system
 * properties that the native launcher builds; the rest call it in this process.
 */
public final class RuntimeTests {
    /** Only keeps a broken child from hanging the test run; never a measured limit. */
    private static final long CHILD_TIMEOUT_SECONDS = 60;
    private static final String LAUNCHER_CLASS = "com.wendle.runtime.WinLauncher";
    private static final String APPS = "com.wendle.tests.apps.";
    /** The service's VM always runs with this: no signal handlers, so only the stop line ends it. */
    private static final String SERVICE_VM_OPTION = "-Xrs";
    /** Java's class file major version for release 8. */
    private static final int RELEASE_8_MAJOR = 52;

    private static File runtimeJar;
    private static File appsJar;
    private static File work;

    interface Scenario {
        void run() throws Exception;
    }

    private static final Map<String, Scenario> SCENARIOS = new LinkedHashMap<>();

    static {
        SCENARIOS.put("service_arguments", RuntimeTests::serviceArguments);
        SCENARIOS.put("service_without_name", RuntimeTests::serviceWithoutName);
        SCENARIOS.put("console_arguments", RuntimeTests::consoleArguments);
        SCENARIOS.put("console_no_arguments", RuntimeTests::consoleNoArguments);
        SCENARIOS.put("redirect_replace", () -> redirect(false));
        SCENARIOS.put("redirect_append", () -> redirect(true));
        SCENARIOS.put("redirect_same_file", RuntimeTests::redirectSameFile);
        SCENARIOS.put("redirect_unopenable", RuntimeTests::redirectUnopenable);
        SCENARIOS.put("redirect_environment_reference", RuntimeTests::redirectEnvironmentReference);
        SCENARIOS.put("run_without_redirection", RuntimeTests::runWithoutRedirection);
        SCENARIOS.put("stop_line", () -> stop(false, null, false));
        SCENARIOS.put("stop_end_of_input", () -> stop(true, null, false));
        SCENARIOS.put("stop_method_first", () -> stop(false, APPS + "StopHandler.stop", false));
        SCENARIOS.put("stop_method_missing", () -> stop(false, APPS + "NoSuchHandler.stop", false));
        SCENARIOS.put("stop_after_main_returned", () -> stop(false, null, true));
        SCENARIOS.put("stop_ignores_other_lines", RuntimeTests::stopIgnoresOtherLines);
        SCENARIOS.put("console_leaves_stdin", RuntimeTests::consoleLeavesStdin);
        SCENARIOS.put("missing_class", RuntimeTests::missingClass);
        SCENARIOS.put("missing_main_method", RuntimeTests::missingMainMethod);
        SCENARIOS.put("main_throws", RuntimeTests::mainThrows);
        SCENARIOS.put("main_throws_redirected", RuntimeTests::mainThrowsRedirected);
        SCENARIOS.put("bad_launch_arguments", RuntimeTests::badLaunchArguments);
        SCENARIOS.put("splash_config", RuntimeTests::splashConfig);
        SCENARIOS.put("payload_stream", RuntimeTests::payloadStream);
        SCENARIOS.put("class_file_version", RuntimeTests::classFileVersion);
    }

    private RuntimeTests() {
    }

    public static void main(String[] args) {
        if (args.length == 1 && args[0].equals("--list")) {
            SCENARIOS.keySet().forEach(System.out::println);
            return;
        }
        if (args.length != 4 || !SCENARIOS.containsKey(args[0])) {
            System.err.println("usage: RuntimeTests SCENARIO RUNTIME_JAR APPS_JAR WORK_DIR; scenarios: "
                    + SCENARIOS.keySet());
            System.exit(2);
        }
        runtimeJar = new File(args[1]).getAbsoluteFile();
        appsJar = new File(args[2]).getAbsoluteFile();
        work = new File(args[3], args[0]).getAbsoluteFile();
        try {
            deleteTree(work);
            Files.createDirectories(work.toPath());
            SCENARIOS.get(args[0]).run();
        } catch (Throwable t) {
            System.out.println("FAIL " + args[0] + ": " + t);
            t.printStackTrace(System.out);
            System.exit(1);
        }
        System.out.println("PASS " + args[0]);
        System.exit(0);
    }

    // ---- launch arguments -------------------------------------------------------------

    private static void serviceArguments() throws Exception {
        Child c = Child.start(props("-Dwendle.isService=true"),
                "false", APPS + "EchoApp", "", "", "false", "MySvc", "a", "b", "-verbose");
        c.expectExit(0);
        expectLines(c.stdout(), "argc=3", "arg[0]=a", "arg[1]=b", "arg[2]=-verbose",
                "service=true", "serviceName=MySvc", "windowed=false", "stdoutFile=null");
    }

    private static void serviceWithoutName() throws Exception {
        Child c = Child.start(props("-Dwendle.isService=true"),
                "false", APPS + "EchoApp", "", "", "false");
        c.expectExit(0);
        expectLines(c.stdout(), "argc=0", "service=true", "serviceName=");
    }

    private static void consoleArguments() throws Exception {
        Child c = Child.start(props(),
                "true", APPS + "EchoApp", "", "", "false", "first", "with space", "", "MySvc");
        c.expectExit(0);
        expectLines(c.stdout(), "argc=4", "arg[0]=first", "arg[1]=with space", "arg[2]=",
                "arg[3]=MySvc", "service=false", "serviceName=null", "windowed=true");
    }

    private static void consoleNoArguments() throws Exception {
        Child c = Child.start(props(), "false", APPS + "EchoApp", "", "", "false");
        c.expectExit(0);
        expectLines(c.stdout(), "argc=0", "service=false");
    }

    // ---- redirection --------------------------------------------------------------------

    private static void redirect(boolean append) throws Exception {
        File out = new File(work, "logs/out.log");
        File err = new File(work, "logs/err.log");
        Files.createDirectories(out.getParentFile().toPath());
        write(out, "old-out\n");
        write(err, "old-err\n");
        Child c = Child.start(props("-Dwendle.isService=true"),
                "false", APPS + "EchoApp", out.getPath(), err.getPath(), String.valueOf(append), "Svc", "x");
        c.expectExit(0);
        String outText = read(out);
        String errText = read(err);
        expectLines(outText, "argc=1", "arg[0]=x", "stdoutFile=" + out.getPath());
        expectLines(errText, "err-line");
        check(outText.contains("old-out") == append, "earlier stdout content kept only when appending:\n" + outText);
        check(errText.contains("old-err") == append, "earlier stderr content kept only when appending:\n" + errText);
        if (append) {
            check(outText.startsWith("old-out\n"), "appended after the earlier content:\n" + outText);
        }
        check(!c.stdout().contains("arg[0]"), "nothing on the original stdout:\n" + c.stdout());
        check(!c.stderr().contains("err-line"), "nothing on the original stderr:\n" + c.stderr());
    }

    private static void redirectSameFile() throws Exception {
        File both = new File(work, "both.log");
        write(both, "old\n");
        Child c = Child.start(props(), "false", APPS + "EchoApp", both.getPath(), both.getPath(), "false", "x");
        c.expectExit(0);
        String text = read(both);
        expectLines(text, "arg[0]=x", "err-line");
        check(!text.contains("old"), "replaced:\n" + text);
    }

    private static void redirectUnopenable() throws Exception {
        File dir = new File(work, "a-directory");
        Files.createDirectories(dir.toPath());
        File err = new File(work, "err.log");
        Child c = Child.start(props(), "false", APPS + "EchoApp", dir.getPath(), err.getPath(), "false", "x");
        c.expectExit(0);
        expectLines(c.stdout(), "arg[0]=x", "stdoutFile=null");
        check(c.stderr().contains("cannot redirect standard output to " + dir.getPath()),
                "reported on the original stderr:\n" + c.stderr());
        expectLines(read(err), "err-line");
    }

    private static void redirectEnvironmentReference() throws Exception {
        File out = new File(work, "out.log");
        File err = new File(work, "err.log");
        Child c = Child.start(props(), env("WENDLE_TEST_LOGS", work.getPath()),
                "false", APPS + "EchoApp", "${WENDLE_TEST_LOGS}/out.log", "$WENDLE_TEST_LOGS/err.log", "false", "x");
        c.expectExit(0);
        expectLines(read(out), "arg[0]=x");
        expectLines(read(err), "err-line");
    }

    private static void runWithoutRedirection() throws Exception {
        File out = new File(work, "out.log");
        File err = new File(work, "err.log");
        Child c = Child.start(props("-Dstrandix.noRedir=true"),
                "false", APPS + "EchoApp", out.getPath(), err.getPath(), "true", "x");
        c.expectExit(0);
        expectLines(c.stdout(), "arg[0]=x", "stdoutFile=null");
        expectLines(c.stderr(), "err-line");
        check(!out.exists() && !err.exists(), "no file created");
    }

    // ---- stop -------------------------------------------------------------------------------

    private static void stop(boolean endOfInput, String stopMethod, boolean returnFromMain) throws Exception {
        File marker = new File(work, "marker.txt");
        List<String> p = props(SERVICE_VM_OPTION, "-Dwendle.isService=true", "-Dtest.marker=" + marker.getPath());
        if (stopMethod != null) {
            p.add("-Dwendle.stopMethod=" + stopMethod);
        }
        List<String> a = new ArrayList<>(Arrays.asList("false", APPS + "WaitingApp", "", "", "false", "MySvc"));
        if (returnFromMain) {
            a.add("return");
        }
        Child c = Child.start(p, a.toArray(new String[0]));
        c.waitForLine("ready");
        if (endOfInput) {
            c.closeStdin();
        } else {
            // The line alone stops it; the pipe stays open.
            c.writeStdin("0\n");
        }
        c.expectExit(0);
        List<String> expected = new ArrayList<>();
        if (stopMethod != null && stopMethod.endsWith("StopHandler.stop")) {
            expected.add("stop-method");
        }
        expected.add("shutdown-hook");
        check(readLines(marker).equals(expected), "marker " + readLines(marker) + ", expected " + expected);
        if (stopMethod != null && !stopMethod.endsWith("StopHandler.stop")) {
            check(c.stderr().contains("NoSuchHandler"), "missing stop method reported:\n" + c.stderr());
        }
    }

    private static void stopIgnoresOtherLines() throws Exception {
        File marker = new File(work, "marker.txt");
        File go = new File(work, "go");
        Child c = Child.start(props(SERVICE_VM_OPTION, "-Dwendle.isService=true", "-Dtest.marker=" + marker.getPath()),
                "false", APPS + "WaitingApp", "", "", "false", "MySvc", "go-file=" + go.getPath());
        c.waitForLine("ready");
        c.writeStdin("1\n00\nstop\n");
        write(go, "");
        // Still running after the other lines: it notices the file.
        c.waitForLine("saw-go");
        c.writeStdin("0\n");
        c.expectExit(0);
        check(readLines(marker).equals(Arrays.asList("shutdown-hook")), "marker " + readLines(marker));
    }

    private static void consoleLeavesStdin() throws Exception {
        Child c = Child.start(props(), "false", APPS + "StdinApp", "", "", "false");
        c.writeStdin("0\nsecond\n");
        c.closeStdin();
        c.expectExit(0);
        expectLines(c.stdout(), "read:0", "read:second", "end-of-input");
    }

    // ---- failures to start ------------------------------------------------------------------

    private static void missingClass() throws Exception {
        expectThrows(ClassNotFoundException.class, null,
                "false", APPS + "DoesNotExist", "", "", "false", "x");
    }

    private static void missingMainMethod() throws Exception {
        expectThrows(NoSuchMethodException.class, null, "false", APPS + "NoMainApp", "", "", "false");
    }

    private static void mainThrows() throws Exception {
        expectThrows(IllegalStateException.class, "boom from main", "false", APPS + "ThrowingApp", "", "", "false");
    }

    private static void mainThrowsRedirected() throws Exception {
        File err = new File(work, "err.log");
        Child c = Child.start(props("-Dwendle.isService=true"),
                "false", APPS + "ThrowingApp", "", err.getPath(), "false", "Svc");
        // The java command's report of an escaping exception, like the launcher's, goes
        // through System.err: with the exception unwrapped, the file shows the application's own.
        int code = c.waitExit();
        check(code == 1, "a failed start ends with 1, got " + code);
        String text = read(err);
        check(text.contains("java.lang.IllegalStateException: boom from main")
                && !text.contains("InvocationTargetException"), "the exception in the error file:\n" + text);
    }

    private static void badLaunchArguments() throws Exception {
        expectThrows(IllegalArgumentException.class, null, "false", APPS + "EchoApp", "", "");
        expectThrows(IllegalArgumentException.class, null, "false", "", "", "", "false");
    }

    private static void expectThrows(Class<? extends Throwable> type, String message, String... args) {
        try {
            WinLauncher.main(args);
        } catch (Throwable t) {
            check(type.isInstance(t), "expected " + type.getName() + ", got " + t);
            check(message == null || message.equals(t.getMessage()), "message of " + t);
            return;
        }
        throw new AssertionError("WinLauncher.main returned for " + Arrays.toString(args));
    }

    // ---- API --------------------------------------------------------------------------------

    private static void splashConfig() {
        check(Wendle.getSplashConfig() == null, "no settings before the call");
        WinLauncher.initAwtSplashConfig(true, false, "first", 1, 2, "second", 3, 4, null, 5, 6, "fourth", -7, 8);
        SplashConfig s = Wendle.getSplashConfig();
        check(s != null && s.isEnabled() && !s.getFlag(), "flags kept: " + s);
        String[] texts = {"first", "second", "", "fourth"};
        int[][] values = {{1, 2}, {3, 4}, {5, 6}, {-7, 8}};
        for (int i = 0; i < SplashConfig.ENTRY_COUNT; i++) {
            check(s.getText(i).equals(texts[i]) && s.getFirstValue(i) == values[i][0]
                    && s.getSecondValue(i) == values[i][1], "entry " + i + " of " + s);
        }
    }

    private static void payloadStream() throws Exception {
        check(Wendle.getLauncherFile() == null && Wendle.getTempDir() == null, "unknown outside a launch");
        expectIOException();
        File module = new File(work, "app.exe");
        byte[] head = "MZ-and-configuration".getBytes(StandardCharsets.US_ASCII);
        byte[] rest = "data-for-the-java-side".getBytes(StandardCharsets.US_ASCII);
        try (OutputStream o = Files.newOutputStream(module.toPath())) {
            o.write(head);
            o.write(rest);
        }
        System.setProperty("wendle.moduleName", module.getPath());
        System.setProperty("wendle.tempDir", "");
        System.setProperty("wendle.unextractedPosition", "x");
        expectIOException();
        check(Wendle.getTempDir() == null, "empty extraction directory means none");
        System.setProperty("wendle.tempDir", work.getPath());
        System.setProperty("wendle.unextractedPosition", String.valueOf(head.length));
        check(Wendle.getTempDir().equals(work) && Wendle.getLauncherFile().equals(module), "paths");
        try (InputStream in = Wendle.openPayload()) {
            check(Arrays.equals(readAll(in), rest), "the unread rest of the file");
        }
        System.setProperty("wendle.unextractedPosition", String.valueOf(head.length + rest.length));
        try (InputStream in = Wendle.openPayload()) {
            check(in.read() == -1, "nothing left at the end of the file");
        }
    }

    private static void expectIOException() {
        try {
            Wendle.openPayload().close();
            throw new AssertionError("opened a payload without a known file and position");
        } catch (IOException expected) {
            // The launcher's file or position is missing.
        }
    }

    private static void classFileVersion() throws IOException {
        int classes = 0;
        try (JarFile jar = new JarFile(runtimeJar)) {
            for (Enumeration<JarEntry> e = jar.entries(); e.hasMoreElements(); ) {
                JarEntry entry = e.nextElement();
                if (!entry.getName().endsWith(".class")) {
                    continue;
                }
                try (DataInputStream in = new DataInputStream(jar.getInputStream(entry))) {
                    check(in.readInt() == 0xCAFEBABE, entry.getName() + " is a class file");
                    in.readUnsignedShort();
                    int major = in.readUnsignedShort();
                    check(major == RELEASE_8_MAJOR, entry.getName() + " has major version " + major);
                }
                classes++;
            }
            check(jar.getEntry("com/wendle/runtime/WinLauncher.class") != null, "WinLauncher is in the jar");
        }
        check(classes > 0, "the jar holds classes");
    }

    // ---- helpers ----------------------------------------------------------------------------

    /** A child JVM running WinLauncher as the native launcher would. */
    static final class Child {
        private final Process process;
        private final StreamCollector out;
        private final StreamCollector err;

        private Child(Process process) {
            this.process = process;
            this.out = new StreamCollector(process.getInputStream());
            this.err = new StreamCollector(process.getErrorStream());
        }

        static Child start(List<String> properties, String... launcherArgs) throws IOException {
            return start(properties, new LinkedHashMap<>(), launcherArgs);
        }

        static Child start(List<String> properties, Map<String, String> environment, String... launcherArgs)
                throws IOException {
            List<String> cmd = new ArrayList<>();
            cmd.add(new File(System.getProperty("java.home"), "bin/java").getPath());
            cmd.add("-cp");
            cmd.add(runtimeJar.getPath() + File.pathSeparator + appsJar.getPath());
            cmd.addAll(properties);
            cmd.add(LAUNCHER_CLASS);
            cmd.addAll(Arrays.asList(launcherArgs));
            ProcessBuilder pb = new ProcessBuilder(cmd).directory(work);
            pb.environment().putAll(environment);
            return new Child(pb.start());
        }

        void writeStdin(String text) throws IOException {
            OutputStream in = process.getOutputStream();
            in.write(text.getBytes(StandardCharsets.US_ASCII));
            in.flush();
        }

        void closeStdin() throws IOException {
            process.getOutputStream().close();
        }

        void waitForLine(String line) throws InterruptedException {
            long end = System.nanoTime() + TimeUnit.SECONDS.toNanos(CHILD_TIMEOUT_SECONDS);
            while (!hasLine(out.text(), line)) {
                if (!process.isAlive() && out.finished()) {
                    throw new AssertionError("the child ended without printing \"" + line + "\"; stdout:\n"
                            + out.text() + "stderr:\n" + err.text());
                }
                if (System.nanoTime() > end) {
                    process.destroyForcibly();
                    throw new AssertionError("no line \"" + line + "\" from the child; stderr:\n" + err.text());
                }
                Thread.sleep(10);
            }
        }

        int waitExit() throws InterruptedException {
            if (!process.waitFor(CHILD_TIMEOUT_SECONDS, TimeUnit.SECONDS)) {
                process.destroyForcibly();
                throw new AssertionError("the child did not end; stdout:\n" + out.text() + "stderr:\n" + err.text());
            }
            out.join();
            err.join();
            return process.exitValue();
        }

        void expectExit(int expected) throws InterruptedException {
            int code = waitExit();
            check(code == expected, "exit code " + code + ", expected " + expected + "; stdout:\n"
                    + out.text() + "stderr:\n" + err.text());
        }

        String stdout() {
            return out.text();
        }

        String stderr() {
            return err.text();
        }
    }

    /** Reads a child's stream to its end in the background. */
    static final class StreamCollector extends Thread {
        private final InputStream in;
        private final ByteArrayOutputStream data = new ByteArrayOutputStream();
        private volatile boolean finished;

        StreamCollector(InputStream in) {
            this.in = in;
            setDaemon(true);
            start();
        }

        @Override
        public void run() {
            byte[] buf = new byte[4096];
            try {
                int n;
                while ((n = in.read(buf)) > 0) {
                    synchronized (data) {
                        data.write(buf, 0, n);
                    }
                }
            } catch (IOException e) {
                // The child is gone.
            }
            finished = true;
        }

        String text() {
            synchronized (data) {
                return new String(data.toByteArray(), StandardCharsets.UTF_8);
            }
        }

        boolean finished() {
            return finished;
        }
    }

    private static List<String> props(String... p) {
        return new ArrayList<>(Arrays.asList(p));
    }

    private static Map<String, String> env(String name, String value) {
        Map<String, String> m = new LinkedHashMap<>();
        m.put(name, value);
        return m;
    }

    private static boolean hasLine(String text, String line) {
        return Arrays.asList(text.split("\r?\n", -1)).contains(line);
    }

    private static void expectLines(String text, String... lines) {
        for (String line : lines) {
            check(hasLine(text, line), "line \"" + line + "\" missing from:\n" + text);
        }
    }

    private static void check(boolean condition, String message) {
        if (!condition) {
            throw new AssertionError(message);
        }
    }

    private static void write(File f, String text) throws IOException {
        Files.write(f.toPath(), text.getBytes(StandardCharsets.UTF_8));
    }

    private static String read(File f) throws IOException {
        return f.exists() ? new String(Files.readAllBytes(f.toPath()), StandardCharsets.UTF_8) : "";
    }

    private static List<String> readLines(File f) throws IOException {
        return f.exists() ? Files.readAllLines(f.toPath(), StandardCharsets.UTF_8) : new ArrayList<>();
    }

    private static byte[] readAll(InputStream in) throws IOException {
        ByteArrayOutputStream b = new ByteArrayOutputStream();
        byte[] buf = new byte[4096];
        int n;
        while ((n = in.read(buf)) > 0) {
            b.write(buf, 0, n);
        }
        return b.toByteArray();
    }

    private static void deleteTree(File f) throws IOException {
        File[] children = f.listFiles();
        if (children != null) {
            for (File c : children) {
                deleteTree(c);
            }
        }
        if (f.exists() && !f.delete()) {
            throw new IOException("cannot delete " + f);
        }
    }
}
