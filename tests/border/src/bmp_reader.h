// Stands for the programs' BMP reader.
