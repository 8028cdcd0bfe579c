package com.brackwind.jnilayout;

/** Peer of the tests' own native class: an ordinary registering peer. */
public class TestPeer extends KWPeer {
    public TestPeer(int handle) {
        super(handle);
    }
}
