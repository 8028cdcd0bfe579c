package com.brackwind.jnilayout;

/** Java peer of the native KWSNodeTailor, the symmetric layout settings of a node. */
public class KWSNodeTailor extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSNodeTailor(int handle) {
        super(handle);
    }
}
