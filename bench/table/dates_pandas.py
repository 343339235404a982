# The same job as table_date_column: the entries of a text file read with
# the format %Y-%m-%d %H:%M:%S into times, by pandas.to_datetime. Prints the
# same line, so the two programs can be seen to agree.
import sys

import pandas as pd

with open(sys.argv[1]) as f:
    entries = f.read().splitlines()
times = pd.to_datetime(entries, format="%Y-%m-%d %H:%M:%S", errors="coerce")
valid = times.notna()
seconds = times[valid].asi8 // 10**9
print(f"entries {len(entries)} valid {int(valid.sum())} checksum {int(seconds.sum())}")
