package com.brackwind.jnilayout;

/** A peer class with the right constructor that never registers. */
public class SilentPeer {
    private final int handle;

    public SilentPeer(int handle) {
        this.handle = handle;
    }

    public int handle() {
        return handle;
    }
}
