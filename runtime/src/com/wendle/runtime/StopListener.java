package com.wendle.runtime;

import java.io.IOException;
import java.io.InputStream;
import java.io.PrintStream;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;

/**
 * Waits, in a service, for the service host's stop request: the line "0" on standard input,
 * or the end of standard input (the host closes the pipe after the line, and a host that
 * died closes it too). Then it calls the configured stop method, if any, and System.exit(0),
 * which runs the application's shutdown hooks.
 */
final class StopListener implements Runnable {
    static final String STOP_LINE = "0";
    static final String STOP_METHOD_PROPERTY = "wendle.stopMethod";
    static final String THREAD_NAME = "wendle-stop-listener";
    static final int EXIT_CODE = 0;

    private final InputStream input;

    StopListener(InputStream input) {
        this.input = input;
    }

    static Thread start(InputStream input) {
        Thread thread = new Thread(new StopListener(input), THREAD_NAME);
        thread.setDaemon(true);
        thread.start();
        return thread;
    }

    @Override
    public void run() {
        try {
            StringBuilder line = new StringBuilder();
            int c;
            while ((c = input.read()) >= 0) {
                if (c == '\n') {
                    if (STOP_LINE.equals(line.toString().trim())) {
                        break;
                    }
                    // Anything else from the host is not a stop request.
                    line.setLength(0);
                } else {
                    line.append((char) c);
                }
            }
        } catch (IOException e) {
            // A broken pipe means the host is gone: stop as on the end of input.
            System.err.println("wendle: reading the stop request failed: " + e);
        }
        stop();
    }

    static void stop() {
        Wendle.markStopping();
        callStopMethod(System.getProperty(STOP_METHOD_PROPERTY), System.err);
        System.exit(EXIT_CODE);
    }

    /**
     * Calls the public static no-argument method named "pkg.Cls.method". Whatever goes wrong
     * is reported and the stop goes on: a broken clean-up must not keep the service alive.
     */
    static boolean callStopMethod(String name, PrintStream report) {
        if (name == null || name.trim().isEmpty()) {
            return false;
        }
        name = name.trim();
        int dot = name.lastIndexOf('.');
        if (dot <= 0 || dot == name.length() - 1) {
            report.println("wendle: " + STOP_METHOD_PROPERTY + " \"" + name
                    + "\" is not of the form package.Class.method");
            return false;
        }
        String className = name.substring(0, dot);
        String methodName = name.substring(dot + 1);
        try {
            Class<?> cls = Class.forName(className, true, ClassLoader.getSystemClassLoader());
            Method method = cls.getMethod(methodName);
            if (!Modifier.isStatic(method.getModifiers())) {
                report.println("wendle: stop method " + name + " is not static");
                return false;
            }
            makeAccessible(method);
            method.invoke(null);
            return true;
        } catch (InvocationTargetException e) {
            report.println("wendle: stop method " + name + " failed:");
            e.getCause().printStackTrace(report);
        } catch (ReflectiveOperationException | RuntimeException | LinkageError e) {
            report.println("wendle: cannot call stop method " + name + ": " + e);
        }
        return false;
    }

    /** A public method of a class that is not itself public still needs this. */
    static void makeAccessible(Method method) {
        try {
            method.setAccessible(true);
        } catch (RuntimeException e) {
            // Denied by a module boundary: invoke() reports it if it matters.
        }
    }
}
