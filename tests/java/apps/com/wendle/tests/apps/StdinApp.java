package com.wendle.tests.apps;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;

/** Echoes every line of standard input as "read:LINE" and returns at its end. */
public final class StdinApp {
    private StdinApp() {
    }

    public static void main(String[] args) throws IOException {
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in, "UTF-8"));
        String line;
        while ((line = in.readLine()) != null) {
            System.out.println("read:" + line);
        }
        System.out.println("end-of-input");
    }
}
