// Stands for a header of the programs.
