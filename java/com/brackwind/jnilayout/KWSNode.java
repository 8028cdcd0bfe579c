package com.brackwind.jnilayout;

/** Java peer of the native KWSNode, the symmetric layout's node extension. */
public class KWSNode extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSNode(int handle) {
        super(handle);
    }
}
