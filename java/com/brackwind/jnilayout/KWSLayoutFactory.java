package com.brackwind.jnilayout;

/** Java peer of the native KWSLayoutFactory, the symmetric layout module's factory. */
public class KWSLayoutFactory extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSLayoutFactory(int handle) {
        super(handle);
    }
}
