def main():
    s = ""
    for _ in range(25000000):
        s += "ab"
    print(len(s))


main()
