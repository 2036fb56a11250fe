package com.wendle.tests.apps;

/** A class without a usable main method: only an instance one. */
public final class NoMainApp {
    public void main(String[] args) {
    }
}
