W(1)
J(1)
S(str)
