# Writes `n` #define lines (awk -v n=...): names of 10 to 30 bytes, unique by
# their number, values of 5 to 40 bytes, a tenth of them function-like. The
# rest of each name, the values and the parameter lists are pseudo-random but
# the same on every run.
BEGIN {
  srand(11)
  letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"
  value_bytes = "0123456789abcdef+-*|&<> ()"
  for (i = 0; i < n; i++) {
    name = "D" i "_"
    size = 10 + int(rand() * 21)
    while (length(name) < size) name = name substr(letters, 1 + int(rand() * 53), 1)
    size = 5 + int(rand() * 36)
    if (i % 10 == 0) {
      value = "((a) + (b)"
      while (length(value) < size - 1) value = value substr(value_bytes, 1 + int(rand() * 16), 1)
      printf "#define %s(a, b) %s)\n", name, value
    } else {
      value = "0x"
      while (length(value) < size) value = value substr(value_bytes, 1 + int(rand() * 26), 1)
      sub(/ +$/, "", value)
      printf "#define %s %s\n", name, value
    }
  }
}
