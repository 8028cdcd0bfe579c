package com.brackwind.jnilayout;

/**
 * Common base of the Java peers of native framework objects.
 *
 * <p>The native side builds a peer with the constructor taking one int, the
 * handle of the native object (never its address). The constructor registers
 * the peer with the native peer registry under that handle; from then on the
 * native object answers this peer to every request, and the registry keeps a
 * global reference to it until the native object is destroyed.
 *
 * <p>The natives are bound by the native library: by its JNI_OnLoad when Java
 * loads it, or by KWPeerRegistry::bindNatives when the native host created the
 * Java VM itself.
 */
public abstract class KWPeer {
    private final int handle;

    /**
     * Registers this peer for the native object of handle.
     *
     * @throws IllegalArgumentException if no native object has this handle
     * @throws IllegalStateException if the native object already has a peer
     */
    protected KWPeer(int handle) {
        this.handle = handle;
        register(handle);
    }

    /** The handle of the native object this peer stands for. */
    public final int handle() {
        return handle;
    }

    /** Whether the native object still exists and this is its peer. */
    public final boolean isNativeAlive() {
        return isRegistered(handle);
    }

    @Override
    public String toString() {
        return getClass().getSimpleName() + "#" + handle;
    }

    private native void register(int handle);

    private native boolean isRegistered(int handle);
}
