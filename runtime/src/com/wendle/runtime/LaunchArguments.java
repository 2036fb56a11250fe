package com.wendle.runtime;

import java.util.Arrays;

/**
 * The argument array that the native launcher hands to {@link WinLauncher#main(String[])}.
 *
 * <pre>
 *   0  "true" for a windowed launcher (javaw), else "false"
 *   1  the application's main class
 *   2  file for standard output, empty for none
 *   3  file for standard error, empty for none
 *   4  "true": append to those files, else replace them
 *   5  service name when wendle.isService is "true", otherwise the first program argument
 *   .. program arguments
 * </pre>
 */
final class LaunchArguments {
    static final int WINDOWED = 0;
    static final int MAIN_CLASS = 1;
    static final int STDOUT_FILE = 2;
    static final int STDERR_FILE = 3;
    static final int APPEND = 4;
    static final int FIRST_ARGUMENT = 5;

    final boolean windowed;
    final String mainClass;
    final String stdoutFile;
    final String stderrFile;
    final boolean append;
    /** The service name, or null outside a service. */
    final String serviceName;
    final String[] programArguments;

    private LaunchArguments(boolean windowed, String mainClass, String stdoutFile, String stderrFile,
                            boolean append, String serviceName, String[] programArguments) {
        this.windowed = windowed;
        this.mainClass = mainClass;
        this.stdoutFile = stdoutFile;
        this.stderrFile = stderrFile;
        this.append = append;
        this.serviceName = serviceName;
        this.programArguments = programArguments;
    }

    /**
     * Reads the fixed leading elements. In a service the element after them is the service
     * name; a service launch without it gets an empty name rather than eating a user argument
     * that is not there.
     */
    static LaunchArguments parse(String[] args, boolean service) {
        if (args == null || args.length < FIRST_ARGUMENT) {
            throw new IllegalArgumentException("wendle: the launcher passed "
                    + (args == null ? 0 : args.length) + " arguments, at least "
                    + FIRST_ARGUMENT + " are needed");
        }
        String mainClass = nonNull(args[MAIN_CLASS]).trim();
        if (mainClass.isEmpty()) {
            throw new IllegalArgumentException("wendle: no main class configured");
        }
        int first = FIRST_ARGUMENT;
        String serviceName = null;
        if (service) {
            serviceName = args.length > FIRST_ARGUMENT ? nonNull(args[FIRST_ARGUMENT]) : "";
            first = Math.min(args.length, FIRST_ARGUMENT + 1);
        }
        return new LaunchArguments(
                "true".equals(args[WINDOWED]),
                mainClass.replace('/', '.'),
                nonNull(args[STDOUT_FILE]),
                nonNull(args[STDERR_FILE]),
                "true".equals(args[APPEND]),
                serviceName,
                Arrays.copyOfRange(args, first, args.length));
    }

    private static String nonNull(String s) {
        return s == null ? "" : s;
    }
}
