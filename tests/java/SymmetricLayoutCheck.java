// Checks the Java API of the symmetric layout against the native library in a
// plain Java VM; prints each failed check and exits 1 if there was one.
import com.brackwind.jnilayout.SymmetricLayout;

import java.util.Arrays;

public class SymmetricLayoutCheck {
  static int failures = 0;

  static void check(boolean ok, String what) {
    if (!ok) {
      System.out.println("FAILED: " + what);
      ++failures;
    }
  }

  /** A wheel of n spokes with a double spoke, laid out with the given seed. */
  static SymmetricLayout wheel(int n, int seed) {
    SymmetricLayout lay = new SymmetricLayout();
    lay.addNode(20, 20);
    for (int i = 1; i <= n; ++i) lay.addNode(20, 20);
    for (int i = 1; i <= n; ++i) {
      lay.addEdge(0, i);
      lay.addEdge(i, i % n + 1);
    }
    lay.addEdge(0, 1);
    lay.set("randomSeed", seed);
    return lay;
  }

  interface Call { void run(SymmetricLayout lay); }

  public static void main(String[] args) {
    // One smoke run through the bridge: positions, bends, settings, a pin and a
    // start from given positions; the drawing itself is the library tests' to check.
    try (SymmetricLayout lay = wheel(5, 1)) {
      lay.pin(2, 300, -200);
      lay.set("nodeSpacing", 90);
      lay.set("routeEdges", true);
      check(lay.get("nodeSpacing") == 90 && lay.get("routeEdges") == 1, "settings read back");
      check(lay.layout(), "a layout runs to its end");
      check(lay.positions().length == 12 && lay.nodeCount() == 6, "one position per node");
      check(lay.x(2) == 300 && lay.y(2) == -200, "a pinned node stays at its place");
      check(!Arrays.equals(lay.bends(0), lay.bends(10)), "the double spoke is drawn as two paths");
      check(lay.bends(10).length % 2 == 0, "bends come as x, y pairs");
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
      try {
        while (worker.isAlive()) {
          lay.requestStop();
          worker.join(10);
        }
      } catch (InterruptedException e) {
        check(false, "interrupted");
      }
      check(!complete[0], "a stopped layout answers false");
      check(lay.positions().length == 2 * 1501, "a stopped layout keeps every node");
      lay.setTimeLimit(0.001);
      check(!lay.layout(), "a layout over its time limit answers false");
      lay.setTimeLimit(0);
    }
    check(SymmetricLayout.settingNames().length == 13 && SymmetricLayout.settingNames()[0].equals("springConstant"),
          "setting names");

    Object[][] bad = {
        {IndexOutOfBoundsException.class, (Call) lay -> lay.addEdge(0, 99)},
        {IllegalArgumentException.class, (Call) lay -> lay.setTimeLimit(-1)},
        {IndexOutOfBoundsException.class, (Call) lay -> lay.pin(7, true)},
        {IndexOutOfBoundsException.class, (Call) lay -> lay.place(7, 0, 0)},
        {IndexOutOfBoundsException.class, (Call) lay -> lay.x(7)},
        {IndexOutOfBoundsException.class, (Call) lay -> lay.bends(1)},
        {IndexOutOfBoundsException.class, (Call) lay -> lay.startFromPositions(0, 9)},
        {IllegalArgumentException.class, (Call) lay -> lay.addNode(-1, 10)},
        {IllegalArgumentException.class, (Call) lay -> lay.addNode(10, Double.NaN)},
        {IllegalArgumentException.class, (Call) lay -> lay.place(0, 2e9, 0)},
        {IllegalArgumentException.class, (Call) lay -> lay.set("colour", 1)},
        {IllegalArgumentException.class, (Call) lay -> lay.set("nodeSpacing", 1.5)},
        {IllegalArgumentException.class, (Call) lay -> lay.get("colour")},
        {NullPointerException.class, (Call) lay -> lay.set(null, 1)},
        {IllegalStateException.class, (Call) lay -> { lay.close(); lay.addNode(1, 1); }},
    };
    for (int i = 0; i < bad.length; ++i) {
      Class<?> expected = (Class<?>) bad[i][0];
      try (SymmetricLayout lay = new SymmetricLayout()) {
        lay.addNode(10, 10);
        lay.addEdge(0, 0);
        ((Call) bad[i][1]).run(lay);
        check(false, "case " + i + ": no " + expected.getSimpleName());
      } catch (RuntimeException e) {
        check(expected.isInstance(e) && e.getMessage() != null && !e.getMessage().isEmpty(),
              "case " + i + ": " + expected.getSimpleName() + " expected, got " + e);
      }
    }
    System.out.println(failures == 0 ? "all checks passed" : failures + " checks failed");
    System.exit(failures == 0 ? 0 : 1);
  }
}
