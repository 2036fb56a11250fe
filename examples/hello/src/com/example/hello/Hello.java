package com.example.hello;

/**
 * The smallest wendle application: greets, and as a Windows service keeps running until
 * the service is stopped (the launcher's runtime ends the virtual machine then).
 */
public final class Hello {
    private Hello() {
    }

    public static void main(String[] args) throws InterruptedException {
        boolean service = "true".equals(System.getProperty("wendle.isService"));
        System.out.println("Hello from wendle" + (args.length > 0 ? ", " + String.join(" ", args) : "")
                + " (Java " + System.getProperty("java.version") + ")");
        if (!service) {
            return;
        }
        long beats = 0;
        while (true) {
            Thread.sleep(10_000L);
            System.out.println("hello service still running, beat " + (++beats));
        }
    }
}
