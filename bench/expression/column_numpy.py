# The same column as expression_column: sin(x)*exp(-y/10)+x^2 over 10**7
# rows, x and y made the same way, in numpy. Prints a checksum so the two
# programs can be seen to agree.
import sys

import numpy as np

n = int(sys.argv[1]) if len(sys.argv) > 1 else 10_000_000
x = np.linspace(0.0, 100.0, n)
y = np.linspace(-50.0, 50.0, n)
r = np.sin(x) * np.exp(-y / 10) + x ** 2
print(f"rows {n} checksum {r[::1000].sum():.9e}")
