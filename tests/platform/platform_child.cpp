// Second process for the platform tests. Usage:
//   platform_child sleep <ms>
int main() { return 0; }
