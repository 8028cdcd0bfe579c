package com.brackwind.jnilayout;

/** Loads a native library as a Java front end would, from Java code. */
public final class PeerTestSupport {
    private PeerTestSupport() {
    }

    public static void load(String path) {
        System.load(path);
    }
}
