# Writes `n` #define lines (awk -v n=...): names of 10 to 30 bytes drawn
# from 3000 shared stems with a distinct suffix, in an order unrelated to
# the sorted order; a tenth function-like; a third of the values name
# another define (whose value is never longer than its name, so that every
# value resolves in place within the growth budget). The same on every run.
BEGIN {
  srand(17)
  upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
  digits = "0123456789abcdefghijklmnopqrstuvwxyz"
  value_bytes = "0123456789abcdef+-*|&<> ()"
  stems = 3000
  for (s = 0; s < stems; s++) {
    size = 6 + int(rand() * 14)
    stem = ""
    while (length(stem) < size) {
      part = ""
      plen = 2 + int(rand() * 5)
      while (length(part) < plen) part = part substr(upper, 1 + int(rand() * 26), 1)
      stem = stem part "_"
    }
    stem_of[s] = substr(stem, 1, size)
  }
  for (i = 0; i < n; i++) {
    # The suffix is the number of the define permuted, in base 36, so the file
    # order is not the sorted order.
    k = (i * 7919 + 104729) % n
    suffix = ""
    do { suffix = substr(digits, 1 + k % 36, 1) suffix; k = int(k / 36) } while (k > 0)
    stem = stem_of[int(rand() * stems)]
    name[i] = stem "_" suffix
    if (length(name[i]) < 10) name[i] = name[i] "_pad"
    if (length(name[i]) > 30) name[i] = substr(stem, 1, 30 - length(suffix) - 1) "_" suffix
  }
  for (i = 0; i < n; i++) {
    if (i % 10 == 0) {
      printf "#define %s(a, b) ((a) + (b) * %d)\n", name[i], i % 97
    } else if (i % 3 == 1) {
      # Only plain values are named, and they are never longer than the
      # names, so every value resolves in place within the growth budget.
      j = int(rand() * n)
      while (j % 10 == 0 || j % 3 == 1) j = (j + 1) % n
      printf "#define %s (%s + %d)\n", name[i], name[j], i % 13
    } else {
      size = 5 + int(rand() * (length(name[i]) - 4))
      value = "0x"
      while (length(value) < size) value = value substr(value_bytes, 1 + int(rand() * 16), 1)
      printf "#define %s %s\n", name[i], value
    }
  }
}
