package com.brackwind.jnilayout;

/** Java peer of the native KWSGraphFileExtension, the symmetric settings' reader and writer for graph files. */
public class KWSGraphFileExtension extends KWPeer {
    /** Built by the native side; handle identifies the native object. */
    public KWSGraphFileExtension(int handle) {
        super(handle);
    }
}
