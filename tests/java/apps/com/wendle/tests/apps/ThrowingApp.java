package com.wendle.tests.apps;

/** A main method that fails. */
public final class ThrowingApp {
    private ThrowingApp() {
    }

    public static void main(String[] args) {
        throw new IllegalStateException("boom from main");
    }
}
