package com.wendle.runtime;

import java.io.File;
import java.io.FileInputStream;
import java.io.IOException;
import java.io.InputStream;

/**
 * What an application started by the wendle launcher can ask about its launch.
 *
 * <p>All methods are safe to call from any thread and also when the application was started
 * some other way: they then answer "not a service", null or -1.
 */
public final class Wendle {
    /** "true" when the process is the service's child. */
    public static final String IS_SERVICE_PROPERTY = "wendle.isService";
    /** The launcher's own executable file, which holds the payload. */
    public static final String MODULE_NAME_PROPERTY = "wendle.moduleName";
    /** The directory the embedded files were extracted to (empty when nothing was). */
    public static final String TEMP_DIR_PROPERTY = "wendle.tempDir";
    /** Offset, in the launcher's file, of the payload data the launcher did not read. */
    public static final String UNEXTRACTED_POSITION_PROPERTY = "wendle.unextractedPosition";
    /** The console's output code page as "cp" and its number, when the launcher found one. */
    public static final String CONSOLE_CODEPAGE_PROPERTY = "wendle.consoleCodepage";
    /** "true" in the console run mode that keeps the standard streams where they are. */
    public static final String NO_REDIRECT_PROPERTY = "strandix.noRedir";

    private static volatile String serviceName;
    private static volatile boolean windowed;
    private static volatile File stdoutFile;
    private static volatile File stderrFile;
    private static volatile SplashConfig splashConfig;
    private static volatile boolean stopping;

    private Wendle() {
    }

    /** Whether this process runs as a Windows service (started by the service host). */
    public static boolean isService() {
        return "true".equals(System.getProperty(IS_SERVICE_PROPERTY));
    }

    /** The service's name, or null when the process does not run as a service. */
    public static String getServiceName() {
        return serviceName;
    }

    /** Whether the launcher is the windowed kind (no console of its own). */
    public static boolean isWindowed() {
        return windowed;
    }

    /** Whether the service host has asked this process to stop. */
    public static boolean isStopRequested() {
        return stopping;
    }

    /** The directory the launcher extracted the embedded files into, or null when none. */
    public static File getTempDir() {
        String dir = System.getProperty(TEMP_DIR_PROPERTY);
        return dir == null || dir.isEmpty() ? null : new File(dir);
    }

    /** The launcher's executable file, or null when not started by the launcher. */
    public static File getLauncherFile() {
        String name = System.getProperty(MODULE_NAME_PROPERTY);
        return name == null || name.isEmpty() ? null : new File(name);
    }

    /** Where the payload's unread data begins in the launcher's file, or -1 when unknown. */
    public static long getUnextractedPosition() {
        String value = System.getProperty(UNEXTRACTED_POSITION_PROPERTY);
        if (value == null) {
            return -1;
        }
        try {
            long position = Long.parseLong(value.trim());
            return position < 0 ? -1 : position;
        } catch (NumberFormatException e) {
            return -1;
        }
    }

    /**
     * Opens the launcher's file at the first payload byte the launcher did not read; the
     * stream runs to the end of the file. The caller closes it.
     *
     * @throws IOException when the launcher's file or the position is not known, or the file
     *                     cannot be read
     */
    public static InputStream openPayload() throws IOException {
        File file = getLauncherFile();
        if (file == null) {
            throw new IOException("the launcher's file is not known (" + MODULE_NAME_PROPERTY + " is not set)");
        }
        long position = getUnextractedPosition();
        if (position < 0) {
            throw new IOException("the payload position is not known ("
                    + UNEXTRACTED_POSITION_PROPERTY + " is \""
                    + System.getProperty(UNEXTRACTED_POSITION_PROPERTY) + "\")");
        }
        FileInputStream in = new FileInputStream(file);
        try {
            in.getChannel().position(position);
        } catch (IOException | RuntimeException e) {
            in.close();
            throw e;
        }
        return in;
    }

    /** The console's output code page (for example "cp850"), or null when not passed. */
    public static String getConsoleCodepage() {
        String value = System.getProperty(CONSOLE_CODEPAGE_PROPERTY);
        return value == null || value.isEmpty() ? null : value;
    }

    /** The file standard output goes to, or null when it was not redirected. */
    public static File getStdoutFile() {
        return stdoutFile;
    }

    /** The file standard error goes to, or null when it was not redirected. */
    public static File getStderrFile() {
        return stderrFile;
    }

    /** The splash-screen settings passed by the launcher, or null when none were passed. */
    public static SplashConfig getSplashConfig() {
        return splashConfig;
    }

    static void setLaunch(String service, boolean isWindowed) {
        serviceName = service;
        windowed = isWindowed;
    }

    static void setRedirection(File out, File err) {
        stdoutFile = out;
        stderrFile = err;
    }

    static void setSplashConfig(SplashConfig config) {
        splashConfig = config;
    }

    static void markStopping() {
        stopping = true;
    }
}
