package com.wendle.runtime;

import java.io.File;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.PrintStream;

/**
 * Points System.out and System.err at the files the launcher configured. A file that cannot
 * be opened leaves its stream as it was: the reason goes to the original standard error and
 * the application still starts.
 */
final class StreamRedirector {
    private StreamRedirector() {
    }

    /** The files actually in use, null where a stream was left alone. */
    static final class Result {
        final File stdout;
        final File stderr;

        Result(File stdout, File stderr) {
            this.stdout = stdout;
            this.stderr = stderr;
        }
    }

    static Result redirect(String stdoutPath, String stderrPath, boolean append) {
        PrintStream originalErr = System.err;
        File outFile = resolve(stdoutPath, "standard output", originalErr);
        File errFile = resolve(stderrPath, "standard error", originalErr);

        PrintStream out = outFile == null ? null : open(outFile, append, "standard output", originalErr);
        PrintStream err;
        if (errFile != null && outFile != null && out != null && sameFile(outFile, errFile)) {
            // One stream for both, so neither truncates nor overwrites the other's lines.
            err = out;
        } else {
            err = errFile == null ? null : open(errFile, append, "standard error", originalErr);
        }
        if (out != null) {
            System.setOut(out);
        }
        if (err != null) {
            System.setErr(err);
        }
        return new Result(out != null ? outFile : null, err != null ? errFile : null);
    }

    /**
     * A path that still begins with "$" was left alone by the launcher's own expansion: a
     * leading $NAME or ${NAME} is taken from the environment here.
     */
    static File resolve(String path, String what, PrintStream report) {
        if (path == null || path.isEmpty()) {
            return null;
        }
        if (path.charAt(0) != '$') {
            return new File(path);
        }
        int nameStart;
        int nameEnd;
        int restStart;
        if (path.startsWith("${")) {
            nameStart = 2;
            nameEnd = path.indexOf('}');
            restStart = nameEnd + 1;
        } else {
            nameStart = 1;
            nameEnd = nameStart;
            while (nameEnd < path.length() && isNameChar(path.charAt(nameEnd))) {
                nameEnd++;
            }
            restStart = nameEnd;
        }
        String name = nameEnd > nameStart ? path.substring(nameStart, nameEnd) : "";
        String value = name.isEmpty() ? null : System.getenv(name);
        if (value == null) {
            report.println("wendle: cannot redirect " + what + " to " + path
                    + ": no environment variable for its leading reference");
            return null;
        }
        return new File(value + path.substring(restStart));
    }

    private static boolean isNameChar(char c) {
        return Character.isLetterOrDigit(c) || c == '_';
    }

    private static PrintStream open(File file, boolean append, String what, PrintStream report) {
        try {
            File parent = file.getAbsoluteFile().getParentFile();
            if (parent != null && !parent.isDirectory() && !parent.mkdirs() && !parent.isDirectory()) {
                throw new IOException("cannot create directory " + parent);
            }
            // No buffer of our own: every print reaches the file at once, so nothing is lost
            // when a service is ended from outside.
            return new PrintStream(new FileOutputStream(file, append), true);
        } catch (IOException | SecurityException e) {
            report.println("wendle: cannot redirect " + what + " to " + file + ": " + e.getMessage());
            return null;
        }
    }

    private static boolean sameFile(File a, File b) {
        try {
            return a.getCanonicalFile().equals(b.getCanonicalFile());
        } catch (IOException e) {
            return a.getAbsoluteFile().equals(b.getAbsoluteFile());
        }
    }
}
