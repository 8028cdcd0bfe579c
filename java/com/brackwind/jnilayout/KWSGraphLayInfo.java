package com.brackwind.jnilayout;

/** Java peer of the native KWSGraphLayInfo, the scratch record of a symmetric layout run for a graph. */
public class KWSGraphLayInfo extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSGraphLayInfo(int handle) {
        super(handle);
    }
}
