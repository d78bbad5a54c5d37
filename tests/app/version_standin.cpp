// A stand-in of the product's executable for the detection tests: it carries
// only a version resource (chosen at build time) and does nothing.
int main() {
    return 0;
}
