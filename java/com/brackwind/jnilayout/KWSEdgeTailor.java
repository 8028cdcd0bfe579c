package com.brackwind.jnilayout;

/** Java peer of the native KWSEdgeTailor, the symmetric layout settings of an edge. */
public class KWSEdgeTailor extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSEdgeTailor(int handle) {
        super(handle);
    }
}
