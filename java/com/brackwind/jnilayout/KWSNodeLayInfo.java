package com.brackwind.jnilayout;

/** Java peer of the native KWSNodeLayInfo, the scratch record of a symmetric layout run for a node. */
public class KWSNodeLayInfo extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSNodeLayInfo(int handle) {
        super(handle);
    }
}
