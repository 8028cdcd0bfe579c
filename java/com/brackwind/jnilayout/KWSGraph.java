package com.brackwind.jnilayout;

/** Java peer of the native KWSGraph, the symmetric layout's graph extension. */
public class KWSGraph extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSGraph(int handle) {
        super(handle);
    }
}
