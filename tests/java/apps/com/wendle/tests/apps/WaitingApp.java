package com.wendle.tests.apps;

import java.io.File;
import java.io.FileWriter;
import java.io.IOException;

/**
 * A service-like application: registers a shutdown hook that records itself in the file named
 * by the system property test.marker, prints "ready" and waits until it is stopped.
 * With the argument "return" the waiting happens in a non-daemon thread and main returns.
 * With the argument "go-file=PATH" it prints "saw-go" once that file exists.
 */
public final class WaitingApp {
    private WaitingApp() {
    }

    public static void main(String[] args) throws InterruptedException {
        Runtime.getRuntime().addShutdownHook(new Thread(() -> mark("shutdown-hook")));
        boolean returnFromMain = false;
        String goFile = null;
        for (String arg : args) {
            if (arg.equals("return")) {
                returnFromMain = true;
            } else if (arg.startsWith("go-file=")) {
                goFile = arg.substring("go-file=".length());
            }
        }
        final String go = goFile;
        Runnable waiting = () -> waitForever(go);
        System.out.println("ready");
        if (returnFromMain) {
            new Thread(waiting, "worker").start();
            return;
        }
        waiting.run();
    }

    private static void waitForever(String goFile) {
        boolean sawGo = false;
        while (true) {
            if (goFile != null && !sawGo && new File(goFile).exists()) {
                sawGo = true;
                System.out.println("saw-go");
            }
            try {
                Thread.sleep(20);
            } catch (InterruptedException e) {
                return;
            }
        }
    }

    static synchronized void mark(String what) {
        String path = System.getProperty("test.marker");
        try (FileWriter w = new FileWriter(path, true)) {
            w.write(what + "\n");
        } catch (IOException e) {
            System.err.println("cannot write marker: " + e);
        }
    }
}
