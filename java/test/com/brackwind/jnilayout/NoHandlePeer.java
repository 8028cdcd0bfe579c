package com.brackwind.jnilayout;

/** A peer class without the constructor taking the handle. */
public class NoHandlePeer {
    public NoHandlePeer() {
    }
}
