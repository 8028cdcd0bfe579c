package com.brackwind.jnilayout;

/** Java peer of the native KWOneDArray, a dense array of doubles. */
public class KWOneDArray extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWOneDArray(int handle) {
        super(handle);
    }
}
