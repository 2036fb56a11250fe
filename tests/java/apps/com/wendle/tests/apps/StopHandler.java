package com.wendle.tests.apps;

/** The application's own stop method, named with -Dwendle.stopMethod. */
public final class StopHandler {
    private StopHandler() {
    }

    public static void stop() {
        WaitingApp.mark("stop-method");
    }
}
