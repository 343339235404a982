# The pandas side of the import comparison: reads the CSV the way pandas
# users do and prints the same rows and checksum of the first column as
# table_import_file.
import sys

import pandas as pd

frame = pd.read_csv(sys.argv[1])
first = frame.iloc[:, 0]
print(f"columns {frame.shape[1]} rows {frame.shape[0]} first \"{frame.columns[0]}\" checksum {first.sum():.9e}")
