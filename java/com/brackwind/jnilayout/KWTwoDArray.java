package com.brackwind.jnilayout;

/** Java peer of the native KWTwoDArray, a dense matrix of doubles. */
public class KWTwoDArray extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWTwoDArray(int handle) {
        super(handle);
    }
}
