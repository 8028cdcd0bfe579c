package com.brackwind.jnilayout;

/** Java peer of the native KWSModelFileExtension, the symmetric settings' reader for model files. */
public class KWSModelFileExtension extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSModelFileExtension(int handle) {
        super(handle);
    }
}
