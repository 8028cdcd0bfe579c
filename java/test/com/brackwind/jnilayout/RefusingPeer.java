package com.brackwind.jnilayout;

/** A peer whose constructor throws before it registers. */
public class RefusingPeer extends KWPeer {
    public RefusingPeer(int handle) {
        super(refuse(handle));
    }

    private static int refuse(int handle) {
        throw new IllegalStateException("peer refused for handle " + handle);
    }
}
