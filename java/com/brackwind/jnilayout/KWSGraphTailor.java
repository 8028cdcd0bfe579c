package com.brackwind.jnilayout;

/** Java peer of the native KWSGraphTailor, the symmetric layout settings of a graph. */
public class KWSGraphTailor extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSGraphTailor(int handle) {
        super(handle);
    }
}
