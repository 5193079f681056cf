def main():
    s = ""
    for i in range(200000):
        s += "ab"
    print(s)
main()
