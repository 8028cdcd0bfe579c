// Checks the Java API of the symmetric layout against the native library: values
// reach the native side and come back, a stop or a time limit ends a run, and each
// kind of bad call raises its exception with a message naming what was wrong.
import com.brackwind.jnilayout.SymmetricLayout;

public class SymmetricLayoutCheck {
  static int failures = 0;

  static void check(boolean ok, String what) {
    if (!ok) {
      System.out.println("FAILED: " + what);
      ++failures;
    }
  }

  /** A wheel of n spokes, laid out with the given seed. */
  static SymmetricLayout wheel(int n, int seed) {
    SymmetricLayout lay = new SymmetricLayout();
    lay.addNode(20, 20);
    for (int i = 1; i <= n; ++i) {
      lay.addNode(20, 20);
      lay.addEdge(0, i);
    }
    for (int i = 1; i <= n; ++i) lay.addEdge(i, i % n + 1);
    lay.set("randomSeed", seed);
    return lay;
  }

  interface Call { void run(SymmetricLayout lay); }

  public static void main(String[] args) throws InterruptedException {
    try (SymmetricLayout lay = wheel(5, 1)) {
      lay.set("nodeSpacing", 90);
      lay.set("routeEdges", true);
      check(lay.get("nodeSpacing") == 90 && lay.get("routeEdges") == 1, "settings read back");
      String[] names = SymmetricLayout.settingNames();
      check(names.length > 1 && names[0].equals("springConstant"), "setting names");
      for (String name : names) lay.get(name);  // throws for a name the native side does not know
      check(lay.layout() && lay.positions().length == 12 && lay.nodeCount() == 6, "one position per node");
      lay.place(1, 40, 50);
      lay.pin(1, true);
      lay.startFromPositions(3);
      check(lay.layout() && lay.x(1) == 40 && lay.y(1) == 50, "a placed node pinned after the run stays there");
    }
    // A stop from another thread ends a long run with a complete drawing; so does a time limit.
    try (SymmetricLayout lay = wheel(1500, 2)) {
      boolean[] complete = {true};
      Thread worker = new Thread(() -> complete[0] = lay.layout());
      worker.start();
      while (worker.isAlive()) {
        lay.requestStop();
        worker.join(10);
      }
      check(!complete[0] && lay.positions().length == 2 * 1501, "a stopped layout answers false and keeps every node");
      lay.setTimeLimit(0.001);
      check(!lay.layout(), "a layout over its time limit answers false");
    }

    Object[][] bad = {
        {IndexOutOfBoundsException.class, "no node 99", (Call) lay -> lay.addEdge(0, 99)},
        {IndexOutOfBoundsException.class, "no node 9", (Call) lay -> lay.startFromPositions(0, 9)},
        {IndexOutOfBoundsException.class, "no node 7", (Call) lay -> lay.x(7)},
        {IndexOutOfBoundsException.class, "no edge 1", (Call) lay -> lay.bends(1)},
        {IllegalArgumentException.class, "time limit", (Call) lay -> lay.setTimeLimit(-1)},
        {IllegalArgumentException.class, "width must be a finite number from 0", (Call) lay -> lay.addNode(-1, 10)},
        {IllegalArgumentException.class, "height", (Call) lay -> lay.addNode(10, Double.NaN)},
        {IllegalArgumentException.class, "x must be a finite number from -1e9", (Call) lay -> lay.place(0, 2e9, 0)},
        {IllegalArgumentException.class, "unknown setting 'colour'", (Call) lay -> lay.set("colour", 1)},
        {IllegalArgumentException.class, "'nodeSpacing' cannot hold 1.5", (Call) lay -> lay.set("nodeSpacing", 1.5)},
        {NullPointerException.class, "setting name is null", (Call) lay -> lay.set(null, 1)},
        {IllegalStateException.class, "closed", (Call) lay -> { lay.close(); lay.addNode(1, 1); }},
    };
    for (Object[] c : bad) {
      try (SymmetricLayout lay = new SymmetricLayout()) {
        lay.addNode(10, 10);
        lay.addEdge(0, 0);
        ((Call) c[2]).run(lay);
        check(false, c[1] + ": no exception");
      } catch (RuntimeException e) {
        check(((Class<?>) c[0]).isInstance(e) && e.getMessage().contains((String) c[1]), c[1] + ": got " + e);
      }
    }
    System.out.println(failures == 0 ? "all checks passed" : failures + " checks failed");
    System.exit(failures == 0 ? 0 : 1);
  }
}
