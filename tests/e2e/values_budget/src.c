b = Vb; z = Vz;
