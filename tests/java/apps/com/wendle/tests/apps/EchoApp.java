package com.wendle.tests.apps;

import com.wendle.runtime.Wendle;

/** Prints what it received, one "key=value" line each, then halts without any flushing. */
public final class EchoApp {
    private EchoApp() {
    }

    public static void main(String[] args) {
        System.out.println("argc=" + args.length);
        for (int i = 0; i < args.length; i++) {
            System.out.println("arg[" + i + "]=" + args[i]);
        }
        System.out.println("service=" + Wendle.isService());
        System.out.println("serviceName=" + Wendle.getServiceName());
        System.out.println("windowed=" + Wendle.isWindowed());
        System.out.println("stdoutFile=" + Wendle.getStdoutFile());
        System.err.println("err-line");
        // halt skips every flush at exit: what reached the files got there by autoflush.
        Runtime.getRuntime().halt(0);
    }
}
