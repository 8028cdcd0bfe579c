package com.brackwind.jnilayout;

/** Java peer of the native KWSEdgeLayInfo, the scratch record of a symmetric layout run for an edge. */
public class KWSEdgeLayInfo extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSEdgeLayInfo(int handle) {
        super(handle);
    }
}
