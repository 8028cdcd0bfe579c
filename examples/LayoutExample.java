// A plain Java program that lays out a small graph with the symmetric layout
// and prints every node's position and the bends of its double edge:
//
//   javac -cp kwjnilayout.jar LayoutExample.java
//   java -cp kwjnilayout.jar:. -Djava.library.path=LIBDIR LayoutExample
import com.brackwind.jnilayout.SymmetricLayout;

public class LayoutExample {
  public static void main(String[] args) {
    String[] names = {"hub", "a", "b", "c", "d", "e"};
    try (SymmetricLayout lay = new SymmetricLayout()) {
      for (String n : names) lay.addNode(30, 20, n);
      for (int i = 1; i < names.length; ++i) {
        lay.addEdge(0, i);                        // spokes
        lay.addEdge(i, i % (names.length - 1) + 1);  // the ring a-b-c-d-e-a
      }
      int twin = lay.addEdge(0, 1);               // a second hub-a edge
      lay.set("randomSeed", 7);
      lay.set("nodeSpacing", 40);
      lay.pin(0, 0, 0);                           // the hub stays at the origin
      lay.layout();
      for (int i = 0; i < names.length; ++i)
        System.out.printf("%s %.0f %.0f%n", names[i], lay.x(i), lay.y(i));
      // The two hub-a edges are drawn apart: bent, not on top of each other.
      System.out.println("bends of the two hub-a edges: " + lay.bends(0).length / 2 + " and " + lay.bends(twin).length / 2);
    }
  }
}
