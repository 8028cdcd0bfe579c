package com.brackwind.jnilayout;

/** Java peer of the native KWSEdge, the symmetric layout's edge extension. */
public class KWSEdge extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSEdge(int handle) {
        super(handle);
    }
}
