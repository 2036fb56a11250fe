package com.wendle.runtime;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;

/**
 * The class the native launcher calls after it created the virtual machine. It takes the
 * launcher's leading arguments off (see {@link LaunchArguments}), redirects the standard
 * streams, listens for the service host's stop request and calls the application's main
 * method on the launcher's own thread.
 *
 * <p>Failures to start the application (no such class, no main method, an exception thrown
 * by main) propagate out of {@link #main(String[])} so that the launcher reports them and
 * ends with exit code 1.
 */
public final class WinLauncher {
    private WinLauncher() {
    }

    public static void main(String[] args) throws Exception {
        boolean service = Wendle.isService();
        LaunchArguments launch = LaunchArguments.parse(args, service);
        Wendle.setLaunch(launch.serviceName, launch.windowed);

        if (!"true".equals(System.getProperty(Wendle.NO_REDIRECT_PROPERTY))) {
            StreamRedirector.Result files =
                    StreamRedirector.redirect(launch.stdoutFile, launch.stderrFile, launch.append);
            Wendle.setRedirection(files.stdout, files.stderr);
        }
        if (service) {
            StopListener.start(System.in);
        }

        // An exception propagates to the launcher, whose report (the VM's printStackTrace)
        // goes to System.err and so also reaches a redirected error file.
        runMain(launch.mainClass, launch.programArguments);
    }

    /**
     * Loads the application's class through the system class loader and calls its
     * public static void main(String[]) on the current thread.
     */
    static void runMain(String className, String[] arguments) throws Exception {
        ClassLoader loader = ClassLoader.getSystemClassLoader();
        Thread current = Thread.currentThread();
        if (current.getContextClassLoader() == null) {
            current.setContextClassLoader(loader);
        }
        Class<?> cls = Class.forName(className, true, loader);
        Method main = cls.getMethod("main", String[].class);
        if (!Modifier.isStatic(main.getModifiers()) || main.getReturnType() != void.class) {
            throw new NoSuchMethodException(className + ".main(String[]) is not a static void method");
        }
        StopListener.makeAccessible(main);
        try {
            main.invoke(null, (Object) arguments);
        } catch (InvocationTargetException e) {
            // The application's own exception, not the reflection wrapper, is what the
            // launcher should report.
            Throwable cause = e.getCause();
            if (cause instanceof Exception) {
                throw (Exception) cause;
            }
            if (cause instanceof Error) {
                throw (Error) cause;
            }
            throw e;
        }
    }

    /**
     * Receives the splash-screen settings before {@link #main(String[])} runs and keeps them
     * for {@link Wendle#getSplashConfig()}. Shows nothing and never throws: the launcher
     * makes no exception check after this call.
     */
    public static void initAwtSplashConfig(boolean enabled, boolean flag,
                                           String text1, int first1, int second1,
                                           String text2, int first2, int second2,
                                           String text3, int first3, int second3,
                                           String text4, int first4, int second4) {
        try {
            Wendle.setSplashConfig(new SplashConfig(enabled, flag,
                    new String[] {nonNull(text1), nonNull(text2), nonNull(text3), nonNull(text4)},
                    new int[] {first1, first2, first3, first4},
                    new int[] {second1, second2, second3, second4}));
        } catch (Throwable t) {
            // Nothing may stay pending for the launcher; the application simply gets no settings.
        }
    }

    private static String nonNull(String s) {
        return s == null ? "" : s;
    }
}
