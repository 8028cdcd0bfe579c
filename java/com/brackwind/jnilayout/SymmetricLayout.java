package com.brackwind.jnilayout;

import java.lang.ref.Cleaner;

/**
 * One graph and its symmetric layout, for Java programs.
 *
 * <pre>
 * try (SymmetricLayout lay = new SymmetricLayout()) {
 *   int a = lay.addNode(20, 20), b = lay.addNode(20, 20), c = lay.addNode(40, 30);
 *   lay.addEdge(a, b); lay.addEdge(b, c); lay.addEdge(c, a);
 *   lay.set("randomSeed", 7);
 *   lay.layout();
 *   System.out.println(lay.x(a) + " " + lay.y(a));
 * }
 * </pre>
 *
 * Nodes and edges are numbered from 0 in the order they were added.
 * Coordinates are drawing units, y growing upwards; a node's position is its
 * centre. The class loads the native library {@code kwvrsl40} from
 * {@code java.library.path}. A node or edge number out of range raises
 * {@link IndexOutOfBoundsException}, a bad value {@link IllegalArgumentException},
 * a refused layout or a closed object {@link IllegalStateException}. Methods are
 * synchronized; close() frees the native graph (so does garbage collection).
 */
public final class SymmetricLayout implements AutoCloseable {
  static {
    System.loadLibrary("kwvrsl40");
  }

  private static final Cleaner CLEANER = Cleaner.create();

  /** Frees the native graph once, whether by close() or by the cleaner. */
  private static final class Native implements Runnable {
    long handle = nativeCreate();

    @Override
    public synchronized void run() {
      long h = handle;
      handle = 0;
      if (h != 0) nativeDestroy(h);
    }
  }

  private final Native peer = new Native();
  private final Cleaner.Cleanable cleanable = CLEANER.register(this, peer);

  /** A layout of an empty graph with the default settings. */
  public SymmetricLayout() {}

  /** The names that {@link #set} and {@link #get} accept. */
  public static String[] settingNames() {
    return nativeSettingNames();
  }

  /** Adds a node of the given size; answers its number. */
  public synchronized int addNode(double width, double height) {
    return nativeAddNode(peer.handle, width, height, null);
  }

  /** Adds a named node of the given size; answers its number. */
  public synchronized int addNode(double width, double height, String name) {
    return nativeAddNode(peer.handle, width, height, name);
  }

  /** Adds an edge between two nodes (from may equal to); answers its number. */
  public synchronized int addEdge(int from, int to) {
    return nativeAddEdge(peer.handle, from, to);
  }

  /** Stores a graph setting: a real, a whole number or a flag (0 or 1). */
  public synchronized void set(String name, double value) {
    nativeSet(peer.handle, name, value);
  }

  /** Stores a flag setting such as routeEdges. */
  public synchronized void set(String name, boolean on) {
    nativeSet(peer.handle, name, on ? 1 : 0);
  }

  /** The current value of a graph setting (flags as 0 or 1). */
  public synchronized double get(String name) {
    return nativeGet(peer.handle, name);
  }

  /** Moves a node's centre (the start of a layout that starts from positions, or a pinned node's place). */
  public synchronized void place(int node, double x, double y) {
    nativePlace(peer.handle, node, x, y);
  }

  /** Pins a node at (x, y): layouts leave it there. */
  public synchronized void pin(int node, double x, double y) {
    nativePlace(peer.handle, node, x, y);
    nativePin(peer.handle, node, true);
  }

  /** Pins a node where it is, or frees it. */
  public synchronized void pin(int node, boolean pinned) {
    nativePin(peer.handle, node, pinned);
  }

  /**
   * Makes the next layout start from the nodes' current centres instead of a
   * random start; the nodes listed get a random start now.
   */
  public synchronized void startFromPositions(int... unplaced) {
    nativeStartFromPositions(peer.handle, unplaced);
  }

  /**
   * Lays out the graph; throws IllegalStateException when it is refused.
   * Answers false when the run stopped early (requestStop or the time limit):
   * the drawing is still complete, only less relaxed.
   */
  public synchronized boolean layout() {
    return nativeLayout(peer.handle);
  }

  /**
   * Asks a layout() running in another thread to stop soon. Not synchronized
   * on this object, which the running layout holds; the peer's lock keeps the
   * native graph alive meanwhile.
   */
  public void requestStop() {
    synchronized (peer) {
      nativeRequestStop(peer.handle);
    }
  }

  /** Seconds after which later layouts stop with the drawing so far (0: no limit). */
  public synchronized void setTimeLimit(double seconds) {
    if (!(seconds >= 0 && seconds <= 7 * 86400.0))
      throw new IllegalArgumentException("time limit must be from 0 to a week in seconds, not " + seconds);
    nativeTimeLimit(peer.handle, seconds > 0 ? Math.max(1L, Math.round(seconds * 1000)) : 0L);
  }

  public synchronized int nodeCount() {
    return nativePositions(peer.handle).length / 2;
  }

  /** A node's centre x. */
  public synchronized double x(int node) {
    return position(node)[0];
  }

  /** A node's centre y. */
  public synchronized double y(int node) {
    return position(node)[1];
  }

  /** A node's centre as {x, y}. */
  public synchronized double[] position(int node) {
    double[] all = nativePositions(peer.handle);
    if (node < 0 || 2 * (long) node >= all.length)
      throw new IndexOutOfBoundsException("no node " + node + " (the layout has " + all.length / 2 + " nodes)");
    return new double[] {all[2 * node], all[2 * node + 1]};
  }

  /** Every node's centre as x0, y0, x1, y1, ... by node number. */
  public synchronized double[] positions() {
    return nativePositions(peer.handle);
  }

  /** An edge's bend points from its source to its target as x0, y0, x1, y1, ... (empty when straight). */
  public synchronized double[] bends(int edge) {
    return nativeBends(peer.handle, edge);
  }

  /** Frees the native graph; later calls throw IllegalStateException. */
  @Override
  public synchronized void close() {
    cleanable.clean();
  }

  private static native long nativeCreate();
  private static native void nativeDestroy(long handle);
  private static native int nativeAddNode(long handle, double width, double height, String name);
  private static native int nativeAddEdge(long handle, int from, int to);
  private static native void nativeSet(long handle, String name, double value);
  private static native double nativeGet(long handle, String name);
  private static native void nativePlace(long handle, int node, double x, double y);
  private static native void nativePin(long handle, int node, boolean pinned);
  private static native void nativeStartFromPositions(long handle, int[] unplaced);
  private static native boolean nativeLayout(long handle);
  private static native void nativeRequestStop(long handle);
  private static native void nativeTimeLimit(long handle, long milliseconds);
  private static native double[] nativePositions(long handle);
  private static native double[] nativeBends(long handle, int edge);
  private static native String[] nativeSettingNames();
}
